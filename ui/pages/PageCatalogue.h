#pragma once
// The window's 49 pages as data: captions, list names, header labels, menu
// commands with their description texts, guards and fill routines.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "ui/pages/PageList.h"

namespace ui {

// Guarded pages catch automation errors themselves and show them in a
// message box; other errors escape to the window's error handler.
enum class Guard { None, Guarded };

// Fills list from host; empties it first. Errors are thrown.
using FillRoutine = void (*)(PageList& list, const std::string& host);

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
    // Null while the page's routine does not exist yet: such a page stays
    // out of the menu rather than showing rows of its own invention.
    FillRoutine fill;
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
