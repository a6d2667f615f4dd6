// The main window built from its layout table: each control where the table puts it, with
// its colours, font and object name.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <map>

#include "window/form1.h"
#include "window/layout_look.h"
#include "window/layout_table.h"
#include "window/path_field.h"
#include "window/utf8_text.h"

namespace main_window {

namespace {

QRect PixelRect(const LayoutRow& row) {
    return QRect(TwipsToPixels(row.left), TwipsToPixels(row.top), TwipsToPixels(row.width),
                 TwipsToPixels(row.height));
}

// Buttons paint on the Button role, text boxes on Base, the rest on Window; colours go to
// the roles the widget actually paints with. Labels and blank panels without a colour of their
// own take the window system's default background.
void ApplyColours(const LayoutRow& row, QWidget& control, const QPalette& standard) {
    QPalette palette = standard;
    const bool paintsOwnBackground =
        row.kind != ControlKind::kButton && row.kind != ControlKind::kTextBox;
    if (paintsOwnBackground || row.background) {
        const QColor background =
            row.background ? ToColor(*row.background) : standard.color(QPalette::Button);
        palette.setColor(QPalette::Window, background);
        palette.setColor(control.backgroundRole(), background);
    }
    if (row.textColour) {
        palette.setColor(QPalette::WindowText, ToColor(*row.textColour));
        palette.setColor(control.foregroundRole(), ToColor(*row.textColour));
    }
    control.setPalette(palette);
}

// The control the layout builder made for the row `name`, as the kind the table gives it.
template <typename Widget>
Widget* Built(const std::map<std::string_view, QWidget*>& built, std::string_view name) {
    auto* control = qobject_cast<Widget*>(built.at(name));
    Q_ASSERT_X(control != nullptr, "Form1", name.data());
    return control;
}

}  // namespace

void Form1::BuildFromLayout() {
    std::map<std::string_view, QWidget*> containers{{std::string_view(), this}};
    std::map<std::string_view, QWidget*> built;
    std::vector<QWidget*> labels;
    std::vector<std::pair<int, QWidget*>> tabChain;  // tab index, control
    const QPalette standard = StylePalette();

    for (const LayoutRow& row : Form1Layout()) {
        QWidget* control = CreateControl(row, containers.at(row.container));
        built[row.name] = control;
        control->setObjectName(FromUtf8(row.name));
        control->setGeometry(PixelRect(row));
        control->setEnabled(row.enabled);
        if (row.font) {
            control->setFont(LayoutFont(row.font->pointSize, row.font->bold));
        }

        ApplyColours(row, *control, standard);

        switch (row.kind) {
            case ControlKind::kLabel:
                labels.push_back(control);
                break;
            case ControlKind::kFrame:
                containers[row.name] = control;
                break;
            case ControlKind::kBlankPanel:
                break;
            case ControlKind::kOptionButton:
            case ControlKind::kButton:
            case ControlKind::kTextBox:
                tabChain.emplace_back(row.tabIndex, control);
                break;
        }
    }

    // Labels are drawn on their container, under everything else in it; among themselves
    // they keep the table's order.
    for (auto label = labels.rbegin(); label != labels.rend(); ++label) {
        (*label)->lower();
    }
    std::stable_sort(tabChain.begin(), tabChain.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 1; i < tabChain.size(); ++i) {
        QWidget::setTabOrder(tabChain[i - 1].second, tabChain[i].second);
    }

    optionButtons_ = {Built<QRadioButton>(built, "Option1_0"),
                      Built<QRadioButton>(built, "Option1_1")};
    pathFields_ = {Built<QLineEdit>(built, "Text1_0"), Built<QLineEdit>(built, "Text1_1")};
    browseButtons_ = {Built<QPushButton>(built, "Command2_0"),
                      Built<QPushButton>(built, "Command2_1")};
    convertButton_ = Built<QPushButton>(built, "Command1");
    templateButton_ = Built<QPushButton>(built, "Command3");
    stepsFrame_ = Built<QWidget>(built, "Frame2");
    coverPanel_ = Built<QWidget>(built, "Picture1");
    statusLabel_ = Built<QLabel>(built, "Label5");
}

QWidget* Form1::CreateControl(const LayoutRow& row, QWidget* container) {
    const QString caption = FromUtf8(row.caption);
    switch (row.kind) {
        case ControlKind::kLabel: {
            auto* label = new QLabel(container);
            // Captions are shown as they are, never read as markup.
            label->setTextFormat(Qt::PlainText);
            label->setText(caption);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setAutoFillBackground(true);
            return label;
        }
        case ControlKind::kFrame: {
            auto* frame = new QGroupBox(caption, container);
            frame->setAutoFillBackground(true);
            return frame;
        }
        case ControlKind::kOptionButton: {
            auto* option = new QRadioButton(caption, container);
            option->setAutoFillBackground(true);
            return option;
        }
        case ControlKind::kButton: {
            auto* button = new QPushButton(caption, container);
            // No button reacts to Enter by itself.
            button->setAutoDefault(false);
            button->setDefault(false);
            return button;
        }
        case ControlKind::kTextBox:
            return new PathField(container);
        case ControlKind::kBlankPanel: {
            auto* panel = new QFrame(container);
            panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            panel->setLineWidth(2);
            panel->setAutoFillBackground(true);
            return panel;
        }
    }
    Q_UNREACHABLE();
}

}  // namespace main_window
