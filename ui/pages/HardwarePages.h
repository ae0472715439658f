#pragma once
// The hardware group of direct-query pages ("Computer" and "Memory" menus).
#include <span>
#include <string>

#include "ui/pages/DirectQuery.h"
#include "ui/pages/PageList.h"

namespace ui {

void GetWin32_BaseBoardInfo(PageList& list, const std::string& host);
void GetWin32_SystemSlotInfo(PageList& list, const std::string& host);
void GetWin32_IRQResourceInfo(PageList& list, const std::string& host);
void GetWin32_BusInfo(PageList& list, const std::string& host);
void GetWin32_PnPEntityInfo(PageList& list, const std::string& host);
void GetWin32_CacheMemoryInfo(PageList& list, const std::string& host);
void GetWin32_DMAChannelInfo(PageList& list, const std::string& host);

// The row tables, for tests and documentation.
std::span<const RowEntry> BaseBoardRows();
std::span<const RowEntry> SystemSlotRows();
std::span<const RowEntry> IRQResourceRows();
std::span<const RowEntry> BusRows();
std::span<const RowEntry> PnPEntityRows();
std::span<const RowEntry> CacheMemoryRows();
std::span<const RowEntry> DMAChannelRows();

}  // namespace ui
