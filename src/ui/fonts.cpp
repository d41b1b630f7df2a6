#include "ui/fonts.h"

#include <QFont>

namespace dovrel::ui {

void substituteWindowsFonts() {
    for (const char* face : {"宋体", "新細明體", "MS Serif"})
        QFont::insertSubstitution(QString::fromUtf8(face), QStringLiteral("WenQuanYi Micro Hei"));
}

}  // namespace dovrel::ui
