#include "ui/layout_builder.h"

#include <QComboBox>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTextDocument>
#include <algorithm>
#include <cmath>
#include <vector>

namespace dovrel::ui {
namespace {

using layout::Kind;

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The longest diagnosis: two result lines, an empty one, the advice heading
// and three causes.
constexpr int kLongestDiagnosisLines = 7;

// The result box. It makes the longest diagnosis fit without scrolling:
// first the margin above and below the text goes, then the font shrinks a
// little where the font in use is taller than the design font. (The box
// scrolls by whole lines, each as tall as the font's line spacing rounded up.)
class ResultTextBox : public QPlainTextEdit {
public:
    explicit ResultTextBox(QWidget* parent) : QPlainTextEdit(parent) {
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        setTabChangesFocus(true);  // Tab leaves the box like every other field
    }

    void fitLines(int lines) {
        const auto fits = [&] {
            const int lineHeight = static_cast<int>(std::ceil(QFontMetricsF(font()).lineSpacing()));
            const int margin = 2 * static_cast<int>(document()->documentMargin());
            return lines * lineHeight + margin <= contentsRect().height();
        };
        if (!fits()) {
            document()->setDocumentMargin(0);
            setViewportMargins(2, 0, 0, 0);  // the text keeps off the left edge
        }
        QFont smaller = font();
        while (!fits() && smaller.pointSizeF() > 7) {
            smaller.setPointSizeF(smaller.pointSizeF() - 0.25);
            setFont(smaller);
        }
    }
};

QComboBox* makeCombo(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    // The list changes only when the program fills it: no entry is added
    // on Enter, and typing is not completed from the list.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    return combo;
}

QPushButton* makeButton(QWidget* parent, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    // A dialog's buttons would answer Enter in any box; here Enter moves on
    // to the next field and buttons are pressed by mouse, Space or mnemonic.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QLabel* makeLabel(QWidget* parent, const layout::Control& control) {
    auto* label = new QLabel(qs(control.caption), parent);
    label->setAlignment((control.align == layout::Align::Right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
    label->setWordWrap(control.kind == Kind::WrappingLabel);
    if (control.font.highlight) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, palette.color(QPalette::Highlight));
        label->setPalette(palette);
    }
    return label;
}

QLabel* makePicture(QWidget* parent, std::string_view picture) {
    auto* label = new QLabel(parent);
    label->setPixmap(QPixmap(QStringLiteral(":/dovrel/%1.xpm").arg(qs(picture))));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// Panels 2 onwards keep their widths at the right end; panel 1 takes what
// is left of its own (the three panels of the settings window would not fit
// it side by side).
QStatusBar* makeStatusBar(QWidget* parent, const layout::Window& window, const QRect& box) {
    auto* bar = new QStatusBar(parent);
    bar->setSizeGripEnabled(false);
    bar->setGeometry(box);
    int right = box.width();
    std::vector<QRect> boxes(window.statusPanels.size());
    for (std::size_t i = window.statusPanels.size(); i-- > 1;) {
        const int width = twipsToPixels(window.statusPanels[i]);
        boxes[i] = QRect(right - width, 0, width, box.height());
        right -= width;
    }
    if (!boxes.empty()) boxes[0] = QRect(0, 0, std::min(twipsToPixels(window.statusPanels[0]), right), box.height());
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("stbMain_panel%1").arg(i + 1));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setGeometry(boxes[i]);
    }
    return bar;
}

QWidget* make(QWidget* parent, const layout::Window& window, const layout::Control& control, const QRect& box) {
    switch (control.kind) {
    case Kind::Frame: return new QGroupBox(parent);
    case Kind::ComboBox: return makeCombo(parent);
    case Kind::TextBox: return new QLineEdit(parent);
    case Kind::PasswordBox: {
        auto* password = new QLineEdit(parent);
        password->setEchoMode(QLineEdit::Password);
        return password;
    }
    case Kind::ResultBox: return new ResultTextBox(parent);
    case Kind::Button: return makeButton(parent, qs(control.caption));
    case Kind::Label:
    case Kind::AutoSizeLabel:
    case Kind::WrappingLabel: return makeLabel(parent, control);
    case Kind::Picture: return makePicture(parent, control.picture);
    case Kind::StatusBar: return makeStatusBar(parent, window, box);
    }
    return nullptr;
}

}  // namespace

QFont fontOf(const layout::Font& font, const QFont& base) {
    QFont result = base;
    if (!font.face.empty()) result.setFamily(qs(font.face));
    if (font.points > 0) result.setPointSizeF(font.points);
    result.setWeight(QFont::Normal);
    return result;
}

void fitToText(QWidget& widget, Kind kind) {
    auto* label = qobject_cast<QLabel*>(&widget);
    if (label == nullptr) return;
    if (kind == Kind::WrappingLabel) {
        label->resize(label->width(), std::max(label->height(), label->heightForWidth(label->width())));
    } else if (kind == Kind::AutoSizeLabel) {
        const QRect box = label->geometry();
        const QSize size = label->sizeHint();
        const int left = (label->alignment() & Qt::AlignRight) ? box.right() + 1 - size.width() : box.left();
        label->setGeometry(left, box.top(), size.width(), size.height());
    }
}

BuiltControls buildWindow(QWidget& host, const layout::Window& window) {
    host.setObjectName(qs(window.name));
    host.setWindowTitle(qs(window.caption));
    host.setFont(fontOf(window.designFont, host.font()));
    host.setFixedSize(twipsToPixels(window.clientWidth), twipsToPixels(window.clientHeight));

    BuiltControls built;
    for (const layout::Control& control : window.controls) {
        QWidget* parent = control.container.empty() ? &host : built.widget(control.container);
        const QRect box = twips(control.left, control.top, control.width, control.height);
        QWidget* widget = make(parent, window, control, box);
        widget->setObjectName(qs(control.name));
        widget->setFont(fontOf(control.font, host.font()));
        widget->setGeometry(box);
        if (auto* result = dynamic_cast<ResultTextBox*>(widget)) result->fitLines(kLongestDiagnosisLines);
        built.add(control.name, widget);
    }
    std::vector<const layout::Control*> order;
    for (const layout::Control& control : window.controls) {
        QWidget* widget = built.widget(control.name);
        if (!control.buddy.empty()) static_cast<QLabel*>(widget)->setBuddy(built.widget(control.buddy));
        fitToText(*widget, control.kind);
        const bool focusable = control.tabIndex >= 0 && layout::takesFocus(control.kind);
        widget->setFocusPolicy(focusable ? Qt::StrongFocus : Qt::NoFocus);
        if (focusable) order.push_back(&control);
    }
    std::sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(built.widget(order[i]->name), built.widget(order[i + 1]->name));
    return built;
}

}  // namespace dovrel::ui
