// A message box keeps each line of its text and of its details whole: Qt would break
// Japanese text at any character past 500 pixels, and the details at the box's width.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include "app/UtilityApp.h"
#include "ui/UiTexts.h"
#include "ui/UserPrompts.h"

class DialogLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void messageLinesStayWhole() {
    InstallJapaneseInterface();  // the editor's font
    MessageRequest request;
    request.text = QString::fromUtf8(UiText::kNewRefusedText);
    request.details = QString::fromUtf8("名前・読み・電話番号を最大文字数まで切り詰めた件数 ：2件\r\n"
                                        "    12件目（345行目） 寿限無寿限無五劫の擦り切れ");
    QList<int> lines;  // the text's height in lines, wrapped and not; each detail's lines
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
      const int line = label->fontMetrics().lineSpacing();
      lines << label->heightForWidth(label->width()) / line
            << label->fontMetrics().size(0, label->text()).height() / line;
      for (QAbstractButton* button : box->buttons())
        if (box->buttonRole(button) == QMessageBox::ActionRole) button->click();  // details
      QTextDocument* details = box->findChild<QTextEdit*>()->document();
      for (QTextBlock block = details->begin(); block.isValid(); block = block.next())
        lines << block.layout()->lineCount();
      box->accept();
    });
    Prompts().ShowMessage(request);
    QCOMPARE(lines, (QList<int>{3, 3, 1, 1}));
  }

  // A dialog without an owner opens over the main window, which it is only lent.
  void ownerlessDialogBelongsToTheMainWindow() {
    QMainWindow window;
    window.show();
    QDialog dialog;
    QWidget* owner = nullptr;
    QTimer::singleShot(0, [&] { owner = dialog.parentWidget(); dialog.reject(); });
    Prompts().RunDialog(dialog);
    QCOMPARE((QList<QWidget*>{owner, dialog.parentWidget()}), (QList<QWidget*>{&window, nullptr}));
  }
};

QTEST_MAIN(DialogLayoutTest)
#include "DialogLayoutTest.moc"
