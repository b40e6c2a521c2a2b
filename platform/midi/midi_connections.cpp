#include "platform/midi/midi_connections.h"

#include "platform/kernel/os.h"

thread_local int32 MidiConnections::sDepth = 0;

MidiConnections& MidiConnections::Default() {
    static MidiConnections connections;
    return connections;
}

MidiConnections::~MidiConnections() {
    for (const ConsumerList* list : fRetired) delete list;
}

void MidiConnections::Retire(const ConsumerList* list) {
    if (list != nullptr) fRetired.push_back(list);
}

void MidiConnections::Synchronize() {
    if (sDepth > 0) return;
    std::vector<const ConsumerList*> retired;
    {
        std::lock_guard<std::mutex> lock(fLock);
        retired.swap(fRetired);
    }
    // A reader of an old list counted itself before the list was replaced, so seeing both
    // counts at zero afterwards means it has finished.
    WaitForReaders(fEpoch.fetch_xor(1));
    WaitForReaders(fEpoch.fetch_xor(1));
    for (const ConsumerList* list : retired) delete list;
}

void MidiConnections::WaitForReaders(int32 epoch) {
    while (fReaders[epoch].load() != 0) snooze(50);
}

MidiConnections::ReadScope::ReadScope() {
    MidiConnections& connections = Default();
    fEpoch = connections.fEpoch.load();
    connections.fReaders[fEpoch].fetch_add(1);
    sDepth++;
}

MidiConnections::ReadScope::~ReadScope() {
    sDepth--;
    Default().fReaders[fEpoch].fetch_sub(1);
}
