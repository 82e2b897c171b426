// The fill preview over proposals made here (no dictionary needed): which rows start
// checked, the check buttons, a reading chosen in the drop-down, and what it returns.
#include <QComboBox>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include "platform/CodePage.h"
#include "view/ReadingFillDialog.h"

class ReadingFillDialogTest : public QObject {
  Q_OBJECT

 private:
  static std::string Sjis(const char* utf8) { return Utf8ToCp932(utf8); }
  static std::vector<ReadingProposal> Proposals() {
    return {{1, Sjis("大谷翔平"), "", {Sjis("ｵｵﾔｼｮｳﾍｲ"), Sjis("ｵｵﾀﾆｼｮｳﾍｲ")}},
            {2, Sjis("鈴木"), Sjis("ｽｽﾞｷ"), {Sjis("ｽｽﾞｷ")}},       // has a reading: unchecked
            {3, Sjis("𠀋"), "", {}},                                 // nothing to offer
            {4, Sjis("山田"), "", {Sjis("ﾔﾏﾀﾞ")}}};
  }
  static std::vector<std::pair<int, QString>> Chosen(const CReadingFillDialog& dialog) {
    std::vector<std::pair<int, QString>> chosen;
    for (const ChosenReading& choice : dialog.ChosenReadings())
      chosen.emplace_back(choice.memoryNumber, QString::fromStdString(Cp932ToUtf8(choice.reading)));
    return chosen;
  }

 private slots:
  void choicesAndChecksMakeTheResult() {
    CReadingFillDialog dialog(Proposals());
    dialog.show();
    QAbstractItemModel* model = dialog.Table()->model();
    QCOMPARE(model->rowCount(), 4);
    QCOMPARE(model->index(0, CReadingFillDialog::ColumnName).data().toString(), QString::fromUtf8("大谷翔平"));
    using Result = std::vector<std::pair<int, QString>>;
    QCOMPARE(Chosen(dialog), (Result{{1, QString::fromUtf8("ｵｵﾔｼｮｳﾍｲ")}, {4, QString::fromUtf8("ﾔﾏﾀﾞ")}}));

    // The second suggestion chosen in the drop-down; the row it was chosen in is wanted.
    dialog.CheckNoneButton()->click();
    QVERIFY(Chosen(dialog).empty());
    const QModelIndex reading = model->index(0, CReadingFillDialog::ColumnNewReading);
    dialog.Table()->setCurrentIndex(reading);
    dialog.Table()->edit(reading);
    auto* choices = dialog.Table()->findChild<QComboBox*>();
    QVERIFY(choices);
    QCOMPARE(choices->count(), 2);
    choices->setCurrentIndex(1);
    dialog.Table()->setCurrentIndex(model->index(1, CReadingFillDialog::ColumnName));  // commits the edit
    QCOMPARE(Chosen(dialog), (Result{{1, QString::fromUtf8("ｵｵﾀﾆｼｮｳﾍｲ")}}));

    // "All" takes every row that has a suggestion, the one with a reading too.
    dialog.CheckAllButton()->click();
    QCOMPARE(Chosen(dialog), (Result{{1, QString::fromUtf8("ｵｵﾀﾆｼｮｳﾍｲ")},
                                     {2, QString::fromUtf8("ｽｽﾞｷ")},
                                     {4, QString::fromUtf8("ﾔﾏﾀﾞ")}}));
    QVERIFY(!(model->flags(model->index(2, CReadingFillDialog::ColumnFill)) & Qt::ItemIsEnabled));
    QVERIFY(!(model->flags(model->index(2, CReadingFillDialog::ColumnNewReading)) & Qt::ItemIsEditable));
  }
};

QTEST_MAIN(ReadingFillDialogTest)
#include "ReadingFillDialogTest.moc"
