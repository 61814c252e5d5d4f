#pragma once

#include "support/temp_folder.h"
#include "ui/app_settings.h"
#include "ui/file_list.h"
#include "ui/folder_list.h"
#include "ui/form1.h"
#include "ui/presenter/control.h"
#include "ui/scripted_boxes.h"

#include <QLabel>
#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace quillmark::test {

// A window started in a working folder of its own, holding a name list, a
// known ROM image, an unknown one and a text file.
class Form1Test : public ::testing::Test {
protected:
    TempFolder folder;
    std::unique_ptr<WorkingFolder> workingFolder;
    std::unique_ptr<Form1> form;
    ScriptedBoxes boxes;
    std::string romBytes;

    Form1Test() {
        folder.write("roms.ini", nameListLine("MARIO KART 64", "Mario Kart 64"));
        RomFields known;
        known.internalName = "MARIO KART 64";
        known.country = 'E';
        romBytes = readFile(folder.write("mk.v64", romImage(known, ByteOrder::V64, 256)));
        RomFields unknown;
        unknown.internalName = "NOBODY KNOWS";
        folder.write("unknown.z64", romImage(unknown, ByteOrder::Z64));
        folder.write("notes.txt", "no ROM image in here, only a few words of text");
        workingFolder = std::make_unique<WorkingFolder>(folder.path());
        QSettings(QString::fromStdString(settingsFilePath()), QSettings::IniFormat)
            .clear(); // a first run
        form = std::make_unique<Form1>();
        form->setMessageBoxes(&boxes);
    }

    ~Form1Test() override {
        form.reset();
        workingFolder.reset();
    }

    template <typename Widget = QWidget> Widget* control(Control id) const {
        return qobject_cast<Widget*>(form->control(id));
    }

    QString caption(Control id) const { return control<QLabel>(id)->text(); }
    bool shown(Control id) const { return !form->control(id)->isHidden(); }

    void showWindow() {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    // A mouse click on a button, option button or file-list entry, as a user makes it.
    void click(Control id) { QTest::mouseClick(form->control(id), Qt::LeftButton); }

    void clickFile(const QString& name) {
        auto* list = control<FileList>(Control::Dateien);
        const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        list->scrollToItem(found[0]);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(found[0]).center());
    }

    QStringList fileListEntries() const {
        QStringList names;
        auto* list = control<FileList>(Control::Dateien);
        for (int row = 0; row < list->count(); ++row) {
            names << list->item(row)->text();
        }
        return names;
    }
};

} // namespace quillmark::test
