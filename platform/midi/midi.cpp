#include "platform/midi/midi.h"

#include <algorithm>

#include "platform/midi/midi_connections.h"

namespace {

std::atomic<int64> dropped{0};

}  // namespace

int64 BMidi::Dropped() {
    return dropped.load(std::memory_order_relaxed);
}

void BMidi::CountDropped() {
    dropped.fetch_add(1, std::memory_order_relaxed);
}

BMidi::BMidi() {
    // Built before any producer, so it outlives static ones too.
    MidiConnections::Default();
}

BMidi::~BMidi() {
    Unplug();
}

void BMidi::Unplug() {
    Stop();
    MidiConnections& connections = MidiConnections::Default();
    {
        std::lock_guard<std::mutex> lock(connections.Lock());
        for (BMidi* producer : fProducers) producer->RemoveConsumer(this);
        ConsumerList* consumers = fConsumers.exchange(nullptr);
        if (consumers != nullptr) {
            for (BMidi* consumer : *consumers) std::erase(consumer->fProducers, this);
        }
        connections.Retire(consumers);
    }
    connections.Synchronize();
}

void BMidi::NoteOff(uchar, uchar, uchar, uint32) {}

void BMidi::NoteOn(uchar, uchar, uchar, uint32) {}

void BMidi::ControlChange(uchar, uchar, uchar, uint32) {}

void BMidi::ProgramChange(uchar, uchar, uint32) {}

status_t BMidi::Connect(BMidi* consumer) {
    if (consumer == nullptr) return B_BAD_VALUE;
    MidiConnections& connections = MidiConnections::Default();
    {
        std::lock_guard<std::mutex> lock(connections.Lock());
        // A loop would spray around it until the stack ran out.
        if (consumer->Reaches(this)) return B_BAD_VALUE;
        ConsumerList* current = fConsumers.load();
        if (current != nullptr && std::ranges::count(*current, consumer) > 0) return B_OK;
        auto consumers = current != nullptr ? new ConsumerList(*current) : new ConsumerList;
        consumers->push_back(consumer);
        Publish(consumers);
        consumer->fProducers.push_back(this);
    }
    connections.Synchronize();
    return B_OK;
}

void BMidi::Disconnect(BMidi* consumer) {
    MidiConnections& connections = MidiConnections::Default();
    {
        std::lock_guard<std::mutex> lock(connections.Lock());
        if (!IsConnected(consumer)) return;
        RemoveConsumer(consumer);
        std::erase(consumer->fProducers, this);
    }
    connections.Synchronize();
}

bool BMidi::IsConnected(BMidi* consumer) const {
    MidiConnections::ReadScope scope;
    const ConsumerList* consumers = fConsumers.load();
    return consumers != nullptr && std::ranges::count(*consumers, consumer) > 0;
}

bool BMidi::Reaches(const BMidi* target) const {
    if (this == target) return true;
    const ConsumerList* consumers = fConsumers.load();
    if (consumers == nullptr) return false;
    return std::ranges::any_of(*consumers,
                               [target](const BMidi* next) { return next->Reaches(target); });
}

void BMidi::Publish(ConsumerList* consumers) {
    MidiConnections::Default().Retire(fConsumers.exchange(consumers));
}

void BMidi::RemoveConsumer(BMidi* consumer) {
    const ConsumerList* current = fConsumers.load();
    auto consumers = new ConsumerList(*current);
    std::erase(*consumers, consumer);
    Publish(consumers);
}

status_t BMidi::Start() {
    std::lock_guard<std::mutex> lock(fRunLock);
    if (fRunning.load()) return B_NOT_ALLOWED;
    // A Run that ended by itself still has to be waited for once.
    if (fThread > 0) wait_for_thread(fThread, nullptr);
    fThread = spawn_thread(RunThread, "MIDI run", B_URGENT_PRIORITY, this);
    if (fThread < 0) {
        status_t status = fThread;
        fThread = 0;
        return status;
    }
    fRunning.store(true);
    resume_thread(fThread);
    return B_OK;
}

void BMidi::Stop() {
    std::lock_guard<std::mutex> lock(fRunLock);
    if (fThread <= 0) return;
    request_thread_stop(fThread);
    wait_for_thread(fThread, nullptr);
    fThread = 0;
}

void BMidi::Run() {}

bool BMidi::KeepRunning() const {
    return !thread_stop_requested();
}

int32 BMidi::RunThread(void* data) {
    auto midi = static_cast<BMidi*>(data);
    midi->Run();
    midi->fRunning.store(false);
    return 0;
}

template <typename Deliver>
void BMidi::Spray(Deliver deliver) const {
    MidiConnections::ReadScope scope;
    const ConsumerList* consumers = fConsumers.load();
    if (consumers == nullptr) return;
    for (BMidi* consumer : *consumers) deliver(consumer);
}

void BMidi::SprayNoteOff(uchar channel, uchar note, uchar velocity, uint32 time) const {
    Spray([=](BMidi* consumer) { consumer->NoteOff(channel, note, velocity, time); });
}

void BMidi::SprayNoteOn(uchar channel, uchar note, uchar velocity, uint32 time) const {
    Spray([=](BMidi* consumer) { consumer->NoteOn(channel, note, velocity, time); });
}

void BMidi::SprayControlChange(uchar channel, uchar controlNumber, uchar controlValue,
                               uint32 time) const {
    Spray([=](BMidi* consumer) {
        consumer->ControlChange(channel, controlNumber, controlValue, time);
    });
}

void BMidi::SprayProgramChange(uchar channel, uchar programNumber, uint32 time) const {
    Spray([=](BMidi* consumer) { consumer->ProgramChange(channel, programNumber, time); });
}
