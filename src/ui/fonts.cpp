#include "ui/fonts.h"

#include <QApplication>
#include <QStringList>

namespace ui {
namespace {

// Song (Ming) style faces: regular printed Chinese.
const QStringList kSongFaces = {
    QStringLiteral("SimSun"),
    QStringLiteral("NSimSun"),
    QStringLiteral("AR PL UMing CN"),
    QStringLiteral("AR PL SungtiL GB"),
    QStringLiteral("Noto Serif CJK SC"),
    QStringLiteral("Noto Sans CJK SC"),
    QStringLiteral("WenQuanYi Zen Hei"),
    QStringLiteral("WenQuanYi Micro Hei"),
};

// Kai style faces: brush-like regular script.
const QStringList kKaiFaces = {
    QStringLiteral("KaiTi"),          QStringLiteral("KaiTi_GB2312"),
    QStringLiteral("AR PL UKai CN"),  QStringLiteral("AR PL KaitiM GB"),
    QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC"),
};

const QString kSong = QStringLiteral("宋体");
const QString kKai = QStringLiteral("楷体_GB2312");
const QString kDefault = QStringLiteral("Thalvane Default");

} // namespace

void InstallFontFallbacks() {
    QFont::insertSubstitutions(kSong, kSongFaces);
    QFont::insertSubstitutions(QStringLiteral("楷体"), kKaiFaces);
    QFont::insertSubstitutions(kKai, kKaiFaces);
    // The default dialog font: the system's sans face for Latin text, Chinese glyphs
    // from a Song face rather than whatever fontconfig finds first.
    QStringList defaults = {QStringLiteral("DejaVu Sans")};
    defaults += kSongFaces;
    QFont::insertSubstitutions(kDefault, defaults);
    if (qApp)
        QApplication::setFont(DefaultUiFont());
}

QFont UiFont(const QString& face, qreal points, bool bold, bool italic) {
    QFont font(face);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QFont DefaultUiFont() {
    return UiFont(kDefault, 9);
}

} // namespace ui
