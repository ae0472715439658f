#pragma once
// Sysquill's own look: a flat blue style sheet, the toolbar icons and the
// Home page picture, all drawn here so the program ships no image files.
#include <QIcon>
#include <QPixmap>
#include <QString>

QString SysquillStyleSheet();
// The Home page picture, drawn at the given size.
QPixmap HomePicture(int width, int height);
enum class ToolIcon { Refresh, Export, Connect, Search, Exit };
QIcon ToolbarIcon(ToolIcon kind);
