// The entry dialog: checks while typing, the whole-entry check on confirming, the buttons'
// rules, and the reading taken from the input method's composition in the name.
#include <QApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "doc/UtilityDoc.h"
#include "readings/ReadingSuggester.h"
#include "support/EditorFixture.h"
#include "view/InputDataDialog.h"

class InputDataDialogTest : public EditorTest<> {
  Q_OBJECT

 private:
  std::unique_ptr<CInputDataDialog> m_dialog;

  // Opens the dialog as the add command does, with the given texts, and leaves it showing.
  void Open(std::array<std::string, FieldCount> texts, int editNumber = 0) {
    m_dialog->m_strFields = texts;
    m_dialog->m_nEditNumber = editNumber;
    m_dialog->m_pDoc = m_doc.get();
    m_prompts->dialogScripts.push_back([](QDialog&) { return int(QDialog::Accepted); });
    m_dialog->DoModal();
    m_dialog->show();
    QApplication::setActiveWindow(m_dialog.get());
    m_prompts->Clear();
  }

  QLineEdit* Field(int position) { return m_dialog->Field(position); }

  void Compose(QLineEdit* field, const QString& preedit, const QString& commit = QString()) {
    QInputMethodEvent event(preedit, {});
    if (!commit.isNull()) event.setCommitString(commit);
    QCoreApplication::sendEvent(field, &event);
  }

  // Types `kana` into the name one character at a time, converts it and commits `result`,
  // as an input method does.
  void Convert(const QString& kana, const QString& result) {
    for (int i = 1; i <= kana.size(); ++i) Compose(Field(FieldName), kana.left(i));
    Compose(Field(FieldName), result);
    Compose(Field(FieldName), QString(), result);
  }

 private slots:
  void init() {
    SetUpEditor();
    m_doc = std::make_unique<CUtilityDoc>(*m_environment);  // no view: the dialog stands alone
    m_dialog = std::make_unique<CInputDataDialog>();
  }
  void cleanup() {
    m_dialog.reset();
    TearDownEditor();
  }

  void phoneFieldDropsBadCharactersSilently() {
    Open({"0001", "", "", "", "", "", "1"});
    Field(FieldPhone1)->setFocus();
    QTest::keyClicks(Field(FieldPhone1), "1-2");
    QCOMPARE(Field(FieldPhone1)->text(), QString("12"));
    QCOMPARE(Field(FieldPhone1)->cursorPosition(), 2);
    QTest::keyClicks(Field(FieldPhone1), "p#*x");
    QCOMPARE(Field(FieldPhone1)->text(), QString("12p#*"));
    QVERIFY(m_prompts->messages.empty());
  }

  void nameTooLongIsReportedAtOnceAndNotCut() {
    Open({"0001", "", "", "", "", "", "1"});
    Field(FieldName)->setFocus();
    QTest::keyClicks(Field(FieldName), "abcdefghijklmnop");
    QVERIFY(m_prompts->messages.empty());
    QTest::keyClicks(Field(FieldName), "q");
    QCOMPARE(m_prompts->messages.size(), size_t(1));
    QCOMPARE(m_prompts->Last().caption, QString::fromUtf8("入力データの確認"));
    QVERIFY(m_prompts->Last().text.startsWith(QString::fromUtf8("名前のデータ長がオーバー")));
    QCOMPARE(m_prompts->Last().icon, MessageIcon::Error);
    QCOMPARE(Field(FieldName)->text().size(), 17);
    QCOMPARE(Field(FieldName)->selectedText(), Field(FieldName)->text());
    // Eight full-width characters are 16 bytes and pass.
    m_prompts->Clear();
    Field(FieldName)->clear();
    TypeText(Field(FieldName), QString::fromUtf8("山田太郎山田太郎"));
    QVERIFY(m_prompts->messages.empty());
  }

  void readingSelectsJustTheOffendingCharacters_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("selected");
    QTest::newRow("grave accent") << QString::fromUtf8("ｱｲｳ`") << QString("`");
    QTest::newRow("full-width") << QString::fromUtf8("ｱ山ｲ") << QString::fromUtf8("山");
    QTest::newRow("first to last") << QString::fromUtf8("`ｱ山") << QString::fromUtf8("`ｱ山");
  }

  void readingSelectsJustTheOffendingCharacters() {
    QFETCH(QString, text);
    QFETCH(QString, selected);
    Open({"0001", "", "", "", "", "", "1"});
    Field(FieldReading)->setText(text);  // as a paste does
    QCOMPARE(m_prompts->messages.size(), size_t(1));
    QVERIFY(m_prompts->Last().text.startsWith(QString::fromUtf8("読みに不正な文字")));
    QCOMPARE(Field(FieldReading)->selectedText(), selected);
  }

  void enterPressesAddWhenAddingAndOkWhenEditing() {
    Open({"0001", "", "", "", "", "", "1"});
    QVERIFY(m_dialog->AddButton()->isVisible());
    QVERIFY(m_dialog->AddButton()->isDefault());
    Open({"0001", "", "", "", "", "", "1"}, 1);
    QVERIFY(!m_dialog->AddButton()->isVisible());
    QVERIFY(m_dialog->OkButton()->isDefault());
  }

  void confirmRunsTheWholeEntryCheck_data() {
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("textStart");
    QTest::addColumn<int>("focusField");
    QTest::newRow("number empty") << QStringList{"", "a", "A", "1", "", "", "1"}
                                  << QString::fromUtf8("メモリ番号が設定") << int(FieldMemoryNumber);
    QTest::newRow("number 1001") << QStringList{"1001", "a", "A", "1", "", "", "1"}
                                 << QString::fromUtf8("メモリ番号に範囲外") << int(FieldMemoryNumber);
    QTest::newRow("group empty") << QStringList{"1", "a", "A", "1", "", "", ""}
                                 << QString::fromUtf8("グループ番号に範囲外") << -1;
    QTest::newRow("no name") << QStringList{"1", "", "A", "1", "", "", "1"}
                             << QString::fromUtf8("名前が入力") << -1;
    QTest::newRow("no phone") << QStringList{"1", "a", "A", "", "", "", "1"}
                              << QString::fromUtf8("電話番号が入力") << -1;
  }

  void confirmRunsTheWholeEntryCheck() {
    QFETCH(QStringList, texts);
    QFETCH(QString, textStart);
    QFETCH(int, focusField);
    Open({"0001", "", "", "", "", "", "1"});
    Field(FieldPhone3)->setFocus();
    for (int i = 0; i < FieldCount; ++i) Field(i)->setText(texts[i]);
    m_prompts->Clear();
    m_dialog->OkButton()->click();
    QCOMPARE(m_dialog->result(), int(QDialog::Rejected));
    QCOMPARE(m_prompts->messages.size(), size_t(1));
    QVERIFY2(m_prompts->Last().text.startsWith(textStart), qPrintable(m_prompts->Last().text));
    QWidget* expectedFocus = focusField >= 0 ? Field(focusField) : Field(FieldPhone3);
    QCOMPARE(QApplication::focusWidget(), expectedFocus);
  }

  void cancelChecksNothing() {
    Open({"", "", "`", "", "", "", ""});
    m_prompts->Clear();
    m_dialog->CancelButton()->click();
    QCOMPARE(m_dialog->result(), int(QDialog::Rejected));
    QVERIFY(m_prompts->messages.empty());
  }

  void addButtonConfirmsAndAsksForTheNext() {
    Open({"0001", "", "", "", "", "", "1"});
    Field(FieldName)->setText("a");
    Field(FieldReading)->setText("A");
    Field(FieldPhone2)->setText("9p");
    m_dialog->AddButton()->click();
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_dialog->m_bAddNext, 1);
    QCOMPARE(QString::fromStdString(m_dialog->m_strFields[FieldPhone2]), QString("9p"));
  }

  void composedKanaBecomesTheReading() {
    Open({"0001", "", "", "", "", "", "1"});
    Field(FieldName)->setFocus();
    QVERIFY(Field(FieldName)->hasFocus());
    Compose(Field(FieldName), QString::fromUtf8("やまだ"));
    Compose(Field(FieldName), QString::fromUtf8("山田"));
    Compose(Field(FieldName), QString(), QString::fromUtf8("山田"));
    QCOMPARE(Field(FieldName)->text(), QString::fromUtf8("山田"));
    QCOMPARE(Field(FieldReading)->text(), QString::fromUtf8("ﾔﾏﾀﾞ"));
    // A second conversion appends to the reading.
    Compose(Field(FieldName), QString::fromUtf8("たろう"));
    Compose(Field(FieldName), QString(), QString::fromUtf8("太郎"));
    QCOMPARE(Field(FieldReading)->text(), QString::fromUtf8("ﾔﾏﾀﾞﾀﾛｳ"));
    QVERIFY(m_prompts->messages.empty());
  }

  void composedReadingIsCutToSixteenBytes() {
    Open({"0001", "", "", "", "", "", "1"});
    Field(FieldName)->setFocus();
    Convert(QString::fromUtf8("ながさきけん"), QString::fromUtf8("長崎県"));
    Convert(QString::fromUtf8("がっこう"), QString::fromUtf8("学校"));
    QCOMPARE(Field(FieldReading)->text(), QString::fromUtf8("ﾅｶﾞｻｷｹﾝｶﾞｯｺｳ"));
    Convert(QString::fromUtf8("ぱぱぱ"), QString::fromUtf8("パパパ"));
    QCOMPARE(Field(FieldReading)->text(), QString::fromUtf8("ﾅｶﾞｻｷｹﾝｶﾞｯｺｳﾊﾟﾊﾟ"));
    QVERIFY(m_prompts->messages.empty());
  }

  // A reading the entry opened with, or one the user typed over the filled one, is never
  // replaced; emptying the reading lets the dialog fill it again.
  void handWrittenReadingIsNeverOverwritten() {
    Open({"0001", "", "\xB1", "", "", "", "1"});
    Field(FieldName)->setFocus();
    Convert(QString::fromUtf8("やまだ"), QString::fromUtf8("山田"));
    QCOMPARE(Field(FieldReading)->text(), QString::fromUtf8("ｱ"));
    Field(FieldReading)->clear();
    Convert(QString::fromUtf8("たろう"), QString::fromUtf8("太郎"));
    QCOMPARE(Field(FieldReading)->text(), QString::fromUtf8("ﾔﾏﾀﾞﾀﾛｳ"));
    Field(FieldReading)->setText(QString::fromUtf8("ﾀﾛ"));
    Field(FieldName)->setFocus();
    Convert(QString::fromUtf8("さん"), QString::fromUtf8("さん"));
    QCOMPARE(Field(FieldReading)->text(), QString::fromUtf8("ﾀﾛ"));
  }

  // Edits of the name keep the segments they do not touch; a character without a composed
  // reading stops the filling until it is gone; a commit the input method follows with
  // more composing gives no reading.
  void partialEditsOfTheNameKeepTheUntouchedSegments() {
    Open({"0001", "", "", "", "", "", "1"});
    QLineEdit* name = Field(FieldName);
    name->setFocus();
    Convert(QString::fromUtf8("やまだ"), QString::fromUtf8("山田"));
    Convert(QString::fromUtf8("たろう"), QString::fromUtf8("太郎"));
    QCOMPARE(Field(FieldReading)->text(), QString::fromUtf8("ﾔﾏﾀﾞﾀﾛｳ"));
    QTest::keyClick(name, Qt::Key_Backspace);
    QTest::keyClick(name, Qt::Key_Backspace);
    QCOMPARE(Field(FieldReading)->text(), QString::fromUtf8("ﾔﾏﾀﾞ"));
    name->setCursorPosition(0);
    Convert(QString::fromUtf8("おお"), QString::fromUtf8("大"));
    QCOMPARE(name->text(), QString::fromUtf8("大山田"));
    QCOMPARE(Field(FieldReading)->text(), QString::fromUtf8("ｵｵﾔﾏﾀﾞ"));
    QTest::keyClicks(name, "X");  // typed without the input method: no reading known
    name->end(false);
    Convert(QString::fromUtf8("じろう"), QString::fromUtf8("次郎"));
    QCOMPARE(Field(FieldReading)->text(), QString::fromUtf8("ｵｵﾔﾏﾀﾞ"));
    name->setCursorPosition(2);
    QTest::keyClick(name, Qt::Key_Backspace);
    QCOMPARE(name->text(), QString::fromUtf8("大山田次郎"));
    QCOMPARE(Field(FieldReading)->text(), QString::fromUtf8("ｵｵﾔﾏﾀﾞｼﾞﾛｳ"));
    name->setCursorPosition(2);
    QTest::keyClick(name, Qt::Key_Backspace);  // cuts into 山田: its reading is lost
    QCOMPARE(Field(FieldReading)->text(), QString::fromUtf8("ｵｵﾔﾏﾀﾞｼﾞﾛｳ"));
    name->clear();
    QCOMPARE(Field(FieldReading)->text(), QString());
    Compose(name, QString::fromUtf8("やまだたろう"));
    Compose(name, QString::fromUtf8("太郎"), QString::fromUtf8("山田"));  // 太郎 still composing
    Compose(name, QString(), QString::fromUtf8("太郎"));
    QCOMPARE(Field(FieldReading)->text(), QString());
  }

  // Without composed kana the button offers the dictionary's readings; choosing one fills
  // the reading. Without a dictionary the user is told once.
  void suggestButtonOffersTheDictionarysReadings() {
    Open({"0001", "", "", "", "", "", "1"});
    QVERIFY(!m_dialog->SuggestButton()->isEnabled());
    Field(FieldName)->setText(QString::fromUtf8("山田太郎"));
    QVERIFY(m_dialog->SuggestButton()->isEnabled());
    m_dialog->SuggestButton()->click();
    QVERIFY(m_dialog->SuggestMenu()->isVisible());
    const QList<QAction*> offered = m_dialog->SuggestMenu()->actions();
    QVERIFY(offered.size() > 1);
    QCOMPARE(offered[0]->text(), QString::fromUtf8("ﾔﾏﾀﾞﾀﾛｳ"));
    offered[1]->trigger();
    QCOMPARE(Field(FieldReading)->text(), offered[1]->text());
    m_dialog->SuggestMenu()->hide();

    CReadingSuggester none({QDir::tempPath().toStdString() + "/readings-no-dictionary"});
    m_dialog->m_pReadings = &none;
    m_dialog->SuggestButton()->click();
    QCOMPARE(m_prompts->messages.size(), size_t(1));
    QCOMPARE(m_prompts->Last().caption, QString::fromUtf8("読みの候補"));
    QCOMPARE(m_prompts->Last().icon, MessageIcon::Warning);
    m_dialog->SuggestButton()->click();
    QCOMPARE(m_prompts->messages.size(), size_t(1));
    QCOMPARE(m_dialog->SuggestMenu()->actions().size(), 1);
    QVERIFY(!m_dialog->SuggestMenu()->actions()[0]->isEnabled());
    m_dialog->SuggestMenu()->hide();
    m_dialog->m_pReadings = &SharedReadingSuggester();
  }

  void compositionOutsideTheNameLeavesTheReading() {
    Open({"0001", "", "", "", "", "", "1"});
    Field(FieldReading)->setFocus();
    Compose(Field(FieldName), QString::fromUtf8("やまだ"));
    Compose(Field(FieldName), QString(), QString::fromUtf8("山田"));
    QCOMPARE(Field(FieldReading)->text(), QString());
  }

  void charactersWithoutAShiftJisFormAreDropped() {
    Open({"0001", "", "", "", "", "", "1"});
    Field(FieldName)->setFocus();
    TypeText(Field(FieldName), QString::fromUtf8("a😀b"));
    QCOMPARE(Field(FieldName)->text(), QString("ab"));
  }

  void everyFieldHasItsLabelAsBuddyAndAName() {
    Open({"0001", "", "", "", "", "", "1"});
    for (int i = 0; i < FieldCount; ++i) {
      QVERIFY(!Field(i)->accessibleName().isEmpty());
      bool hasBuddy = false;
      for (QLabel* label : m_dialog->findChildren<QLabel*>()) hasBuddy |= label->buddy() == Field(i);
      QVERIFY(hasBuddy);
    }
  }

  void inputMethodOnlyInNameAndReading() {
    for (int i = 0; i < FieldCount; ++i)
      QCOMPARE(Field(i)->testAttribute(Qt::WA_InputMethodEnabled),
               i == FieldName || i == FieldReading);
  }
};

QTEST_MAIN(InputDataDialogTest)
#include "InputDataDialogTest.moc"
