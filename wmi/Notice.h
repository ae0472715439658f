#pragma once
// User notices raised below the window (the component base's warning box).
// The window installs a handler that shows a message box; tests install one
// that records; without a handler the notice goes to standard error.
#include <functional>
#include <string>

namespace wmi {

enum class NoticeKind { Information, Warning, Error };

using NoticeHandler = std::function<void(NoticeKind kind, const std::string& text)>;

// Returns the handler that was installed before.
NoticeHandler SetNoticeHandler(NoticeHandler handler);
void ShowNotice(NoticeKind kind, const std::string& text);

}  // namespace wmi
