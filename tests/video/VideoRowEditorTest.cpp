#include "video/VideoRowEditor.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace korvane {
namespace {

const CatalogueRow kRow{"Live  \\  Show.avi", {"2", "640 x 480", "01:02:05", "25", "MPEG-1"}};

TEST(VideoRowEditor, LayoutAndFilledFields) {
    VideoRowEditor editor;
    editor.setRow(kRow);
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Редактировать"));
    EXPECT_EQ(editor.row(), kRow);
    QStringList labels;
    for (const QLabel* label : editor.findChildren<QLabel*>())
        labels << label->text();
    for (const char* text : {"Имя файла:", "Размер:", "mb", "Разрешение:", "px",
                             "Длительность:", "min:sec", "fps:", "кадров", "Кодек:"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
    EXPECT_EQ(editor.saveButton()->text(), QStringLiteral("Сохранить"));
    EXPECT_EQ(editor.cancelButton()->text(), QStringLiteral("Отмена"));
    EXPECT_TRUE(editor.saveButton()->isDefault());
    EXPECT_FALSE(editor.saveButton()->isEnabled()) << "filling the fields is no change";
}

TEST(VideoRowEditor, ChangeEnablesSaveAndSaveMarksTheEditorSaved) {
    VideoRowEditor editor;
    editor.setRow(kRow);
    QTimer::singleShot(0, &editor, [&editor] {
        EXPECT_EQ(editor.focusWidget(), editor.field(0)) << "opens in its first field";
        editor.field(5)->setText(QString());
        EXPECT_TRUE(editor.saveButton()->isEnabled());
        editor.saveButton()->click();
    });
    EXPECT_EQ(editor.exec(), QDialog::Accepted);
    EXPECT_TRUE(editor.saved());
    EXPECT_EQ(editor.row().cells.at(4), QString());
    EXPECT_FALSE(editor.saveButton()->isEnabled()) << "closing disables Save";
}

TEST(VideoRowEditor, CancelEscapeAndCloseBoxCountAsCancel) {
    const std::function<void(VideoRowEditor&)> endings[] = {
        [](VideoRowEditor& e) { e.cancelButton()->click(); },
        [](VideoRowEditor& e) { QTest::keyClick(&e, Qt::Key_Escape); },
        [](VideoRowEditor& e) { e.close(); },
    };
    for (const auto& end : endings) {
        VideoRowEditor editor;
        editor.setRow(kRow);
        // a Save of an earlier use must not carry over
        QTimer::singleShot(0, &editor, [&editor] {
            editor.saveButton()->setEnabled(true);
            editor.saveButton()->click();
        });
        editor.exec();
        ASSERT_TRUE(editor.saved());
        QTimer::singleShot(0, &editor, [&editor, &end] {
            editor.field(0)->setText(QStringLiteral("changed"));
            end(editor);
        });
        EXPECT_EQ(editor.exec(), QDialog::Rejected);
        EXPECT_FALSE(editor.saved());
    }
}

} // namespace
} // namespace korvane
