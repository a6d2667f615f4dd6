#include "platform/desktop/qt_file_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "qt_printers.h"

namespace platform {
namespace {

using ::testing::UnorderedElementsAre;

TEST(QtNameFiltersTest, TurnsTheCommonConventionIntoQtsForm) {
    struct Case {
        QString common;
        QStringList qt;
    };
    const Case cases[] = {
        {QStringLiteral("テキストファイル(*.txt,*.csv)|*.txt;*.csv"),
         {QStringLiteral("テキストファイル(*.txt,*.csv) (*.txt *.csv)")}},
        {QStringLiteral("運賃表示器データVer3(*.hy3)|*.hy3"),
         {QStringLiteral("運賃表示器データVer3(*.hy3) (*.hy3)")}},
        {QStringLiteral("テキストファイル(*.txt)|*.txt|CSVファイル(*.CSV)|*.CSV"),
         {QStringLiteral("テキストファイル(*.txt) (*.txt)"),
          QStringLiteral("CSVファイル(*.CSV) (*.CSV)")}},
        {QString(), {}},
        // A description without patterns cannot filter anything and is left out.
        {QStringLiteral("すべて|*.*|壊れた"), {QStringLiteral("すべて (*.*)")}},
        {QStringLiteral("空|;|テキスト| *.txt ; "), {QStringLiteral("テキスト (*.txt)")}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QtNameFilters(c.common), c.qt) << c.common.toStdString();
    }
}

class QtFileDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"route.csv", "ROUTE2.TXT", "fare.hy3", "notes.md"}) {
            QFile file(directory_.filePath(QString::fromLatin1(name)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }

    // Shows the dialog for `request` in `directory_`, lets `act` work on it once its
    // listing is loaded, and returns what Choose returned.
    std::optional<QString> ChooseWith(const FileDialogRequest& request,
                                      const std::function<void(QFileDialog&)>& act) {
        bool acted = false;
        QTimer::singleShot(0, [&] {
            QFileDialog* dialog = nullptr;
            if (!QTest::qWaitFor([&] {
                    dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                    return dialog != nullptr;
                })) {
                return;
            }
            auto* model = dialog->findChild<QFileSystemModel*>();
            bool loaded = false;
            QObject::connect(model, &QFileSystemModel::directoryLoaded, dialog,
                             [&](const QString& path) {
                                 loaded = loaded || QDir(path) == QDir(directory_.path());
                             });
            dialog->setDirectory(directory_.path());
            // A listing that is slow to load is still acted on.
            static_cast<void>(QTest::qWaitFor([&] { return loaded; }));
            QCoreApplication::processEvents();
            act(*dialog);
            acted = true;
            // A dialog that did not close on its own would hold the test forever.
            QTimer::singleShot(3000, dialog, [dialog] {
                ADD_FAILURE() << "the dialog stayed open";
                dialog->reject();
            });
        });
        std::optional<QString> chosen = QtFileDialog().Choose(nullptr, request);
        EXPECT_TRUE(acted);
        return chosen;
    }

    static void TypeFileName(QFileDialog& dialog, const QString& name) {
        auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(field, nullptr);
        field->setText(name);
    }

    static QStringList Listed(QFileDialog& dialog) {
        auto* model = dialog.findChild<QFileSystemModel*>();
        const QModelIndex root = model->index(dialog.directory().absolutePath());
        QStringList names;
        for (int row = 0; row < model->rowCount(root); ++row) {
            names.append(model->index(row, 0, root).data().toString());
        }
        return names;
    }

    QTemporaryDir directory_;
};

TEST_F(QtFileDialogTest, PatternsMatchNamesInAnyCase) {
    QStringList csvOnly;
    ChooseWith({FileDialogMode::kSave, QStringLiteral("CSVファイル(*.CSV)|*.CSV"), QString()},
               [&](QFileDialog& dialog) {
                   csvOnly = Listed(dialog);
                   dialog.reject();
               });
    EXPECT_THAT(csvOnly, UnorderedElementsAre("route.csv"));

    QStringList texts;
    QString shownFilter;
    ChooseWith({FileDialogMode::kOpen, QStringLiteral("テキストファイル(*.txt,*.csv)|*.txt;*.csv"),
                QString()},
               [&](QFileDialog& dialog) {
                   texts = Listed(dialog);
                   shownFilter =
                       dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText();
                   dialog.reject();
               });
    EXPECT_THAT(texts, UnorderedElementsAre("route.csv", "ROUTE2.TXT"));
    // The user reads the description as the system words it, without Qt's pattern list.
    EXPECT_EQ(shownFilter, QStringLiteral("テキストファイル(*.txt,*.csv)"));
}

TEST_F(QtFileDialogTest, ReturnsTheChosenPathOrNothingWhenCancelled) {
    const FileDialogRequest open{FileDialogMode::kOpen,
                                 QStringLiteral("テキストファイル(*.txt,*.csv)|*.txt;*.csv"),
                                 QString()};
    EXPECT_EQ(ChooseWith(open,
                         [](QFileDialog& dialog) {
                             TypeFileName(dialog, QStringLiteral("route.csv"));
                             static_cast<QDialog&>(dialog).accept();
                         }),
              directory_.filePath(QStringLiteral("route.csv")));
    EXPECT_EQ(ChooseWith(open, [](QFileDialog& dialog) { dialog.reject(); }), std::nullopt);
}

TEST_F(QtFileDialogTest, SavingANameTypedWithoutExtensionAddsTheFiltersOne) {
    const FileDialogRequest save{FileDialogMode::kSave,
                                 QStringLiteral("運賃表示器データVer3(*.hy3)|*.hy3"), QString()};
    EXPECT_EQ(ChooseWith(save,
                         [](QFileDialog& dialog) {
                             TypeFileName(dialog, QStringLiteral("運賃"));
                             static_cast<QDialog&>(dialog).accept();
                         }),
              directory_.filePath(QStringLiteral("運賃.hy3")));
}

}  // namespace
}  // namespace platform
