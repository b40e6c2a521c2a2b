// velloran-rescomp -o ARCHIVE INPUT...: compiles images and layouts into one resource archive.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/storage/resource_archive.h"
#include "tools/rescomp/layout_compiler.h"
#include "tools/rescomp/tga_check.h"

namespace {

constexpr int kBadInput = 1;
constexpr int kBadUsage = 2;

struct Resource {
    type_code type = 0;
    std::string name;
    std::vector<uint8> bytes;
    std::string input;
};

// Thrown for a fault in one input; main reports it and exits.
struct InputError {
    std::string message;
};

[[noreturn]] void Fail(const std::string& input, const std::string& problem) {
    throw InputError{input + ": " + problem};
}

std::vector<uint8> ReadInput(const std::string& input) {
    std::ifstream stream(input, std::ios::binary);
    if (!stream.is_open()) Fail(input, "cannot be opened");
    std::vector<uint8> bytes((std::istreambuf_iterator<char>(stream)),
                             std::istreambuf_iterator<char>());
    if (stream.bad()) Fail(input, "cannot be read");
    return bytes;
}

std::vector<uint8> CompileLayoutFile(const std::string& input, const std::vector<uint8>& text) {
    BMessage layout;
    try {
        layout = CompileLayout(
            std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
    } catch (const LayoutError& error) {
        if (error.Field().empty()) Fail(input, error.what());
        Fail(input, "field '" + error.Field() + "': " + error.what());
    }
    ssize_t size = layout.FlattenedSize();
    if (size < 0) Fail(input, "is too large to flatten");
    std::vector<uint8> bytes(static_cast<size_t>(size));
    if (layout.Flatten(reinterpret_cast<char*>(bytes.data()), size) != B_OK) {
        Fail(input, "cannot be flattened");
    }
    return bytes;
}

Resource Compile(const std::string& input) {
    std::filesystem::path path(input);
    std::string extension = path.extension().string();
    Resource resource{0, path.stem().string(), {}, input};
    if (extension == ".tga") {
        resource.type = B_RAW_TYPE;
        resource.bytes = ReadInput(input);
        if (std::string problem = CheckTga(resource.bytes); !problem.empty()) Fail(input, problem);
    } else if (extension == ".json") {
        resource.type = four_cc("ARCV");
        resource.bytes = CompileLayoutFile(input, ReadInput(input));
    } else {
        Fail(input, "is neither a .tga image nor a .json layout");
    }
    return resource;
}

void CheckNames(const std::vector<Resource>& resources) {
    std::map<std::pair<type_code, std::string>, const Resource*> seen;
    for (const Resource& resource : resources) {
        auto [found, added] = seen.try_emplace({resource.type, resource.name}, &resource);
        if (!added) {
            Fail(resource.input, "gives the same resource name as " + found->second->input);
        }
    }
}

// Written beside the archive first, so a failed run never leaves half an archive.
void WriteArchive(const std::string& output, const std::vector<Resource>& resources) {
    std::vector<resource_archive::Entry> entries;
    for (const Resource& resource : resources) {
        entries.push_back(
            {resource.type, resource.name, resource.bytes.data(), resource.bytes.size()});
    }
    std::vector<uint8> archive;
    if (status_t status = resource_archive::Serialise(entries, &archive); status != B_OK) {
        Fail(output, strerror_status(status));
    }
    std::string temporary = output + ".tmp";
    std::ofstream stream(temporary, std::ios::binary | std::ios::trunc);
    stream.write(reinterpret_cast<const char*>(archive.data()), std::streamsize(archive.size()));
    stream.close();
    std::error_code error;
    if (stream.fail()) Fail(temporary, "cannot be written");
    std::filesystem::rename(temporary, output, error);
    if (error) Fail(output, error.message());
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 2 || args[0] != "-o") {
        std::fprintf(stderr, "usage: velloran-rescomp -o ARCHIVE INPUT...\n");
        return kBadUsage;
    }
    try {
        std::vector<Resource> resources;
        for (size_t i = 2; i < args.size(); i++) resources.push_back(Compile(args[i]));
        CheckNames(resources);
        WriteArchive(args[1], resources);
    } catch (const InputError& error) {
        std::fprintf(stderr, "velloran-rescomp: %s\n", error.message.c_str());
        return kBadInput;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "velloran-rescomp: %s\n", error.what());
        return kBadInput;
    }
    return 0;
}
