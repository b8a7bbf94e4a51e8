#pragma once
#include <QFont>
#include <QString>

namespace ui {

// Maps the Chinese faces the windows name (楷体_GB2312, 宋体, the default dialog font)
// to installed faces of the same style, through an explicit fallback list. Call once,
// after the application object exists and before any window is built.
void InstallFontFallbacks();

// A font of the given face, size in points, weight and slant, resolved through the
// fallback list.
QFont UiFont(const QString& face, qreal points, bool bold = false, bool italic = false);

// The font windows use where they name none.
QFont DefaultUiFont();

} // namespace ui
