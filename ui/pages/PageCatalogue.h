#pragma once
// The window's 49 pages as data: captions, list names, header labels, menu
// commands with their description texts, guards and what fills them (a
// direct query's row table or a component and its row table).
#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/pages/ComponentPages.h"
#include "ui/pages/PageList.h"

namespace ui {

// Guarded pages catch automation errors themselves and show them in a
// message box; other errors escape to the window's error handler.
enum class Guard { None, Guarded };

// Fills list from host; empties it first. Errors are thrown.
using FillRoutine = void (*)(PageList& list, const std::string& host);

// How a direct-query page turns a property value into its text.
enum class ValueRule { Text, Integer, StrictText, StrictInteger, StrictBoolean };

// One row of a direct-query page: its label and the property of the page's
// class that gives its value. The first row's label is the header label.
struct RowEntry {
    const char* label;
    const char* property;
    ValueRule rule;
};

// A component-backed page: the component read on host, rows written per object.
using ComponentFill = void (*)(PageList& list, const std::string& host, std::span<const RecordRow> rows,
                               PageObjects objects);

// What fills a page; the dispatch (RunPageFill) reads it. A catalogue line
// gives a direct query's row table (the page's class queried, the table
// written once per object), ComponentRows<TXInfo>(table) or nullptr.
struct PageFill {
    std::span<const RowEntry> queryRows;
    ComponentFill component = nullptr;
    std::span<const RecordRow> recordRows;
    PageObjects objects = PageObjects::First;
    // A routine of its own, for rows no table describes.
    FillRoutine routine = nullptr;

    constexpr PageFill() = default;
    constexpr PageFill(std::nullptr_t) {}
    constexpr PageFill(FillRoutine fill) : routine(fill) {}
    template <std::size_t N>
    constexpr PageFill(const RowEntry (&rows)[N]) : queryRows(rows) {}

    // Whether the page can be filled at all.
    constexpr explicit operator bool() const { return !queryRows.empty() || component || routine; }
};

// A component-backed page's fill: Component's record read through rows.
template <typename Component>
constexpr PageFill ComponentRows(std::span<const RecordRow> rows, PageObjects objects = PageObjects::First) {
    PageFill fill;
    fill.component = &FillComponentPage<Component>;
    fill.recordRows = rows;
    fill.objects = objects;
    return fill;
}

struct PageInfo {
    int index;
    const char* caption;
    const char* listName;     // null for Home
    const char* headerLabel;  // null for Home
    const char* menu;         // top-level menu; null for Home and pages no command shows
    const char* command;      // the menu command; null when no command shows the page
    const char* description;  // the description line's text; null keeps the line as it is
    const char* fillName;
    const char* wmiClass;
    Guard guard;
    // Empty while the page has no rows to show yet: such a page stays out
    // of the menu rather than showing rows of its own invention.
    PageFill fill;
};

constexpr int kPageCount = 49;
constexpr int kHomePage = 0;

const std::array<PageInfo, kPageCount>& Pages();
const PageInfo& Page(int index);

// By caption, menu command, list name or index, ignoring letter case.
const PageInfo* FindPage(std::string_view name);

struct MenuInfo {
    const char* title;
    std::vector<int> pages;  // commands in menu order; empty for "Home", a command itself
};
// The main menu, top-level items in order.
const std::vector<MenuInfo>& MainMenu();

// "Computer > Base Board", or empty when no command shows the page.
std::string MenuPath(const PageInfo& page);

}  // namespace ui
