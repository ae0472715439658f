// The programs load their system libraries on first use, so nothing but an
// ELF note in ".note.dlopen" tells packaging tools they need them.
#include <elf.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cimv2/sources/BlkidLibrary.h"
#include "cimv2/sources/CupsLibrary.h"
#include "cimv2/sources/DlopenNote.h"
#include "cimv2/sources/DrmLibrary.h"
#include "cimv2/sources/KmodLibrary.h"
#include "cimv2/sources/SystemdLibrary.h"

namespace {

std::string ReadProgram(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The descriptions of the FDO dlopen notes in the program's ".note.dlopen"
// sections, as a reader of the format finds them; a failure for a file
// that is no 64-bit ELF or a note that runs past its section.
std::vector<std::string> DlopenNotes(const std::string& elf) {
    std::vector<std::string> notes;
    Elf64_Ehdr header{};
    if (elf.size() < sizeof header || elf.compare(0, SELFMAG, ELFMAG) != 0 || elf[EI_CLASS] != ELFCLASS64) {
        ADD_FAILURE() << "not a 64-bit ELF file";
        return notes;
    }
    std::memcpy(&header, elf.data(), sizeof header);
    auto section = [&](size_t index) {
        Elf64_Shdr s{};
        std::memcpy(&s, elf.data() + header.e_shoff + index * header.e_shentsize, sizeof s);
        return s;
    };
    const Elf64_Shdr names = section(header.e_shstrndx);
    for (size_t i = 0; i < header.e_shnum; ++i) {
        const Elf64_Shdr s = section(i);
        if (s.sh_type != SHT_NOTE || elf.compare(names.sh_offset + s.sh_name, 13, ".note.dlopen\0", 13) != 0) continue;
        EXPECT_EQ(s.sh_addralign, 4u) << "notes are four-byte aligned";
        for (size_t at = 0; at + sizeof(Elf64_Nhdr) <= s.sh_size;) {
            Elf64_Nhdr note{};
            std::memcpy(&note, elf.data() + s.sh_offset + at, sizeof note);
            const size_t owner = s.sh_offset + at + sizeof note;
            const size_t description = owner + ((note.n_namesz + 3) & ~3u);
            at = description - s.sh_offset + ((note.n_descsz + 3) & ~3u);
            if (at > s.sh_size) {
                ADD_FAILURE() << "a note runs past the end of its section";
                break;
            }
            EXPECT_EQ(std::string(elf, owner, note.n_namesz), std::string("FDO", 4));
            EXPECT_EQ(note.n_type, cimv2::kDlopenNoteType);
            // The JSON text ends with its NUL, inside the description's size.
            const std::string json(elf, description, note.n_descsz);
            EXPECT_TRUE(json.ends_with(std::string("}]", 3))) << json;
            notes.push_back(json.substr(0, json.size() - 1));
        }
    }
    return notes;
}

TEST(DlopenNotes, EachProgramNamesEveryLibraryItLoads) {
    const std::vector<const char*> programs = {SYSQUILL_QUERY_TOOL, SYSQUILL_AGENT,
#ifdef SYSQUILL_WINDOW
                                               SYSQUILL_WINDOW
#endif
    };
    const cimv2::SharedLibrary* libraries[] = {&cimv2::SystemdApiLibrary(), &cimv2::CupsApiLibrary(),
                                               &cimv2::KmodApiLibrary(), &cimv2::BlkidApiLibrary(),
                                               &cimv2::DrmApiLibrary()};
    for (const char* program : programs) {
        SCOPED_TRACE(program);
        const std::vector<std::string> notes = DlopenNotes(ReadProgram(program));
        EXPECT_EQ(notes.size(), std::size(libraries));
        for (const cimv2::SharedLibrary* library : libraries) {
            const std::string soname = "\"soname\":[\"" + library->Name() + "\"]";
            size_t naming = 0;
            for (const std::string& json : notes)
                if (json.find(soname) != std::string::npos) {
                    ++naming;
                    EXPECT_TRUE(json.starts_with("[{\"feature\":\"")) << json;
                    EXPECT_NE(json.find("\"priority\":\"recommended\""), std::string::npos) << json;
                }
            EXPECT_EQ(naming, 1u) << library->Name();
        }
    }
}

}  // namespace
