#pragma once
// The "BIOS" and "Computer" pages: the first object of Win32_Bios and of
// Win32_ComputerSystem, read through their components.
#include <span>
#include <string>

#include "ui/pages/ComponentPages.h"
#include "ui/pages/PageList.h"

namespace ui {

void GetBiosInfo(PageList& list, const std::string& host);
void GetComputerSystemInfo(PageList& list, const std::string& host);

// The row tables, for tests and documentation.
std::span<const RecordRow> BiosRows();
std::span<const RecordRow> ComputerSystemRows();

}  // namespace ui
