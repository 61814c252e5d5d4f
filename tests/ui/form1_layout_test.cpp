#include "ui/control_layout.h"
#include "ui/credits.h"
#include "ui/drive_list.h"
#include "ui/form1_fixture.h"
#include "ui/message_box_dialogs.h"
#include "ui/value_label.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <functional>
#include <map>

namespace quillmark::test {
namespace {

QRect rectOf(QWidget* widget) {
    return widget->geometry();
}

TEST_F(Form1Test, WindowIsFixedWithItsTitleAndNoMinimiseOrMaximise) {
    EXPECT_EQ(form->objectName(), "Form1");
    EXPECT_EQ(form->windowTitle().toStdString(),
              "Quillmark v2.0 by " + std::string(kCredit) + " - " + std::string(kWebAddress));
    EXPECT_EQ(form->size(), QSize(569, 543));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    const QList<QSize> iconSizes = form->windowIcon().availableSizes();
    EXPECT_TRUE(iconSizes.contains(QSize(16, 16)));
    EXPECT_TRUE(iconSizes.contains(QSize(32, 32)));
}

TEST_F(Form1Test, EveryControlIsThereByItsName) {
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const auto id = static_cast<Control>(i);
        const QString name = QString::fromLatin1(controlName(id));
        EXPECT_NE(form->findChild<QObject*>(name), nullptr) << name.toStdString();
    }
    EXPECT_EQ(form->timer()->objectName(), "Timer1");
    EXPECT_EQ(form->timer()->interval(), 1);
    EXPECT_TRUE(form->timer()->isActive());
}

TEST_F(Form1Test, ControlsStandWhereTheyWereDrawn) {
    // Pixels at 96 dpi, positions inside frames relative to the frame.
    EXPECT_EQ(rectOf(control(Control::Frame1)), QRect(8, 8, 185, 113));
    EXPECT_EQ(rectOf(control(Control::Dateimodus)), QRect(16, 16, 153, 17));
    EXPECT_EQ(control(Control::Dateimodus)->parentWidget(), control(Control::Frame1));
    EXPECT_EQ(rectOf(control(Control::Optiondateinamennormal)), QRect(8, 16, 161, 13));
    EXPECT_EQ(rectOf(control(Control::Namenmodus)), QRect(8, 56, 169, 57));
    EXPECT_EQ(control(Control::Namenmodus)->parentWidget(), control(Control::Frame2));
    EXPECT_EQ(rectOf(control(Control::Laufwerk)), QRect(200, 24, 169, 21));
    EXPECT_EQ(rectOf(control(Control::Ordner)), QRect(200, 48, 169, 201));
    EXPECT_EQ(rectOf(control(Control::Dateien)), QRect(376, 24, 185, 227));
    EXPECT_EQ(rectOf(control(Control::Label4)), QRect(72, 312, 73, 25));
    EXPECT_EQ(rectOf(control(Control::Romname)), QRect(160, 320, 249, 17));
    EXPECT_EQ(rectOf(control(Control::Label16)), QRect(248, 368, 81, 17));
    EXPECT_EQ(rectOf(control(Control::Nameneu)), QRect(72, 480, 417, 17));
    EXPECT_EQ(rectOf(control(Control::Label12)), QRect(8, 264, 89, 41));
    EXPECT_EQ(rectOf(control(Control::Label10)), QRect(424, 272, 113, 57));
    EXPECT_EQ(rectOf(control(Control::Listeunbekannt)), QRect(208, 328, 169, 121));
    EXPECT_EQ(rectOf(control(Control::Label17)), QRect(8, 464, 481, 17));
    EXPECT_EQ(rectOf(control(Control::ProgressBar)), QRect(8, 480, 553, 17));
    EXPECT_EQ(rectOf(control(Control::Command2)), rectOf(control(Control::Batchrun)));
    EXPECT_EQ(rectOf(control(Control::Command2)), QRect(8, 512, 153, 25));
    EXPECT_EQ(rectOf(control(Control::Command1)), QRect(424, 512, 137, 25));
}

TEST_F(Form1Test, CaptionsFontsAlignmentAndBackgrounds) {
    EXPECT_EQ(control<QGroupBox>(Control::Frame1)->title(), "Modus:");
    EXPECT_EQ(control<QGroupBox>(Control::Frame2)->title(), "Dateinamen:");
    EXPECT_EQ(control<QRadioButton>(Control::Dateimodus)->text(), "Rename a single file");
    EXPECT_TRUE(control<QRadioButton>(Control::Dateimodus)->isChecked());
    EXPECT_TRUE(control<QRadioButton>(Control::Optiondateinamennormal)->isChecked());
    EXPECT_FALSE(control<QRadioButton>(Control::Optiondateinamenultrahle)->isChecked());
    EXPECT_EQ(caption(Control::Label1), "File to rename:");
    EXPECT_EQ(caption(Control::Label10), "Files that already had the right name:");
    EXPECT_EQ(control<QPushButton>(Control::Batchrun)->text(), "Start batchmode");
    EXPECT_EQ(caption(Control::Dateiname), "");
    const char withControls[] = "\0A\x01\x7F\xC2\x81Z";
    form->setCaption(Control::Romname, std::string_view(withControls, sizeof withControls - 1));
    EXPECT_EQ(caption(Control::Romname), "AZ") << "control characters show as nothing";

    const QFont bold = control(Control::Label5)->font();
    EXPECT_TRUE(bold.bold());
    EXPECT_DOUBLE_EQ(bold.pointSizeF(), 8.25);
    EXPECT_TRUE(control(Control::Command1)->font().bold());
    EXPECT_TRUE(control(Control::Frame2)->font().bold());
    EXPECT_FALSE(control(Control::Dateiname)->font().bold());
    EXPECT_FALSE(control(Control::Optiondateinamennormal)->font().bold())
        << "a frame's font must not reach its option buttons";

    EXPECT_EQ(control<QLabel>(Control::Label3)->alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
    EXPECT_EQ(control<QLabel>(Control::Label16)->alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignLeft);
    EXPECT_EQ(control<QLabel>(Control::Nameneu)->alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    EXPECT_TRUE(control<QLabel>(Control::Label4)->wordWrap());

    EXPECT_FALSE(control(Control::Label3)->autoFillBackground());
    EXPECT_FALSE(control(Control::Dateiname)->autoFillBackground());
    const auto filled = [&](Control id) {
        QWidget* widget = control(id);
        return widget->autoFillBackground()
                   ? widget->palette().color(widget->backgroundRole()).rgb() & 0xFFFFFF
                   : 0xFFFFFFFFu;
    };
    EXPECT_EQ(filled(Control::Nameneu), 0xE0E0E0u);
    EXPECT_EQ(filled(Control::Modusbeschreibung), 0xC0C0C0u);
    EXPECT_EQ(filled(Control::Dateimodus), 0xC0C0C0u);
    EXPECT_EQ(filled(Control::Frame1), 0xC0C0C0u);
    EXPECT_EQ(filled(Control::Frame2), 0xC0C0C0u);
    EXPECT_TRUE(control(Control::Namenmodus)->autoFillBackground());
}

// The single-line captions fit their labels; the three drawn to wrap do.
TEST_F(Form1Test, CaptionsFitOrWrapAsDrawn) {
    for (const Control id :
         {Control::Label1, Control::Label2, Control::Label3, Control::Label5, Control::Label6,
          Control::Label7, Control::Label8, Control::Label9, Control::Label16}) {
        auto* label = control<QLabel>(id);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
            << controlName(id);
    }
    for (const Control id : {Control::Label4, Control::Label12, Control::Label10}) {
        auto* label = control<QLabel>(id);
        EXPECT_GT(label->fontMetrics().horizontalAdvance(label->text()), label->width())
            << controlName(id);
        EXPECT_GT(label->heightForWidth(label->width()), label->fontMetrics().height())
            << controlName(id);
    }
    for (const Control id :
         {Control::Dateimodus, Control::Batchmodus, Control::Optiondateinamennormal,
          Control::Optiondateinamenultrahle, Control::Command2, Control::Batchrun,
          Control::Command3, Control::Command1}) {
        auto* button = control<QAbstractButton>(id);
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), button->width() - 20)
            << controlName(id);
    }
    // The longest descriptions wrap inside their labels.
    form->Timer1_Timer();
    click(Control::Optiondateinamenultrahle);
    click(Control::Batchmodus);
    form->Timer1_Timer();
    for (const Control id : {Control::Modusbeschreibung, Control::Namenmodus}) {
        auto* label = control<QLabel>(id);
        EXPECT_LE(label->heightForWidth(label->width()), label->height()) << controlName(id);
    }
    // Labels keep their size whatever they show.
    EXPECT_EQ(rectOf(control(Control::Namenmodus)), QRect(8, 56, 169, 57));
}

TEST_F(Form1Test, StartsWithTheRenameButtonsHiddenAndTheFocusOnTheDrives) {
    for (std::size_t i = 0; i + 1 < kControlCount; ++i) {
        const auto id = static_cast<Control>(i);
        const bool hiddenAtStart = id == Control::Command2 || id == Control::Batchrun;
        EXPECT_EQ(shown(id), !hiddenAtStart) << controlName(id);
    }
    EXPECT_EQ(caption(Control::Modusbeschreibung), "");
    EXPECT_EQ(caption(Control::Namenmodus), "");
    EXPECT_FALSE(form->romIdentity().romUnknown);
    EXPECT_EQ(control<FolderList>(Control::Ordner)->path(), folder.path());
    EXPECT_EQ(fileListEntries(), QStringList({"mk.v64", "notes.txt", "roms.ini", "unknown.z64"}));
    EXPECT_EQ(control<FileList>(Control::Dateien)->selectedFileName(), "");
    EXPECT_EQ(control<DriveList>(Control::Laufwerk)->selectedDrive(),
              DriveList::driveOf(folder.path()));
    // A folder on no volume the system names still has a drive to show.
    EXPECT_EQ(DriveList::driveOf(folder.path() + "/gone/deeper"), "/");

    showWindow();
    EXPECT_EQ(form->focusWidget(), control(Control::Laufwerk));
}

TEST_F(Form1Test, TabVisitsTheControlsInTheirOrderSkippingHiddenOnes) {
    showWindow();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->Timer1_Timer();
    control(Control::Laufwerk)->setFocus();
    QStringList visited;
    for (int i = 0; i < 8; ++i) {
        visited << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited, QStringList({"Laufwerk", "Ordner", "Dateien", "Command1", "Command3",
                                    "Dateimodus", "Optiondateinamennormal", "Laufwerk"}));
}

// What a screen reader finds in the window's accessible tree.
TEST_F(Form1Test, ValuesAreNamedAfterTheirCaptionsAndReadWhatTheyShow) {
    showWindow();
    clickFile("mk.v64");
    std::map<QString, QAccessibleInterface*> nodes;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        if (node->object() != nullptr && node->object()->isWidgetType()) {
            nodes[node->object()->objectName()] = node;
        }
        for (int i = 0; i < node->childCount(); ++i) {
            walk(node->child(i));
        }
    };
    walk(QAccessible::queryAccessibleInterface(form.get()));
    for (const Control value : kFileDetailGroup) {
        const QString name = QString::fromLatin1(controlName(value));
        if (qobject_cast<ValueLabel*>(control(value)) != nullptr) {
            const auto captions = nodes.at(name)->relations(QAccessible::Label); // in the tree
            ASSERT_EQ(captions.size(), 1) << name.toStdString();
            EXPECT_EQ(nodes[name]->text(QAccessible::Name) + ":",
                      captions[0].first->text(QAccessible::Name));
            EXPECT_EQ(nodes[name]->text(QAccessible::Value), caption(value));
        }
    }
    EXPECT_EQ(nodes["Namevoll"]->text(QAccessible::Name), "Full name");
    EXPECT_EQ(nodes["Namevoll"]->textInterface()->text(0, 20), "Mario Kart 64");
    for (const auto& [name, node] : nodes) {
        if (node->state().focusable) {
            EXPECT_FALSE(node->text(QAccessible::Name).isEmpty()) << name.toStdString();
            EXPECT_FALSE(node->text(QAccessible::Description).isEmpty()) << name.toStdString();
        }
    }
}

TEST_F(Form1Test, TickThatChangesNothingRepaintsNothing) {
    showWindow();
    form->Timer1_Timer();
    QTest::qWait(50);

    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    form->installEventFilter(&counter);
    for (QWidget* child : form->findChildren<QWidget*>()) {
        child->installEventFilter(&counter);
    }
    form->timer()->stop();
    for (int i = 0; i < 100; ++i) {
        form->Timer1_Timer();
    }
    QTest::qWait(50);
    EXPECT_EQ(counter.paints, 0);

    // A real change does repaint.
    click(Control::Optiondateinamenultrahle);
    form->Timer1_Timer();
    QTest::qWait(50);
    EXPECT_GT(counter.paints, 0);
}

TEST_F(Form1Test, ModeTimerRestsWhileIdleAndWakesOnAChangedOption) {
    showWindow();
    // Left alone, the window stops waking up every millisecond.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->timer()->isActive(); }, 10000));

    // An option changed by any means wakes it, and a tick applies the new mode.
    control<QRadioButton>(Control::Batchmodus)->setChecked(true);
    EXPECT_TRUE(form->timer()->isActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown(Control::Batchrun); }, 10000));
    EXPECT_FALSE(shown(Control::Dateien));
}

TEST_F(Form1Test, BackgroundPictureShowsThroughTransparentLabelsOnly) {
    const QImage picture(QStringLiteral(":/assets/background.bmp"));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(571, 545));
    form->Timer1_Timer();
    const QImage shot = form->grab().toImage();
    // Inside Label8 (transparent, caption centred, left edge empty) and inside
    // the band of Nameneu (opaque E0E0E0, empty at start).
    const QPoint underLabel8(80, 458);
    EXPECT_EQ(shot.pixel(underLabel8), picture.pixel(underLabel8));
    EXPECT_EQ(shot.pixel(QPoint(80, 485)) & 0xFFFFFF, 0xE0E0E0u);
}

TEST(MessageBoxDialogsTest, StylesGiveTheirButtonsAndIcons) {
    struct Expected {
        BoxStyle style;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };
    for (const Expected& expected : {
             Expected{BoxStyle::Ok, QMessageBox::NoIcon, QMessageBox::Ok},
             Expected{BoxStyle::RetryCancel, QMessageBox::NoIcon,
                      QMessageBox::Retry | QMessageBox::Cancel},
             Expected{BoxStyle::OkExclamation, QMessageBox::Warning, QMessageBox::Ok},
             Expected{BoxStyle::OkInformation, QMessageBox::Information, QMessageBox::Ok},
         }) {
        const auto box = makeMessageBox("first\nsecond <b>", "Fehler !", expected.style, nullptr);
        EXPECT_EQ(box->icon(), expected.icon);
        EXPECT_EQ(box->standardButtons(), expected.buttons);
        EXPECT_EQ(box->text(), "first\nsecond <b>");
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->windowTitle(), "Fehler !");
    }
}

TEST(MessageBoxDialogsTest, ReturnsTheButtonPressed) {
    MessageBoxDialogs dialogs(nullptr);
    const auto press = [](QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            box->button(button)->click();
        });
    };
    press(QMessageBox::Retry);
    EXPECT_EQ(dialogs.showMessage("Disk not ready", "Error !", BoxStyle::RetryCancel),
              BoxButton::Retry);
    press(QMessageBox::Cancel);
    EXPECT_EQ(dialogs.showMessage("Disk not ready", "Error !", BoxStyle::RetryCancel),
              BoxButton::Cancel);
    press(QMessageBox::Ok);
    EXPECT_EQ(dialogs.showMessage("Batchrun finished !", "Quillmark:", BoxStyle::OkInformation),
              BoxButton::Ok);
}

} // namespace
} // namespace quillmark::test
