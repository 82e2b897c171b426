// Conversions between the program's texts and Qt strings.
#include "ui/QtText.h"

#include <QStringList>

#include "platform/CodePage.h"
#include "strings/StringTable.h"

namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString Text(int id) { return FromUtf8(StringText(id)); }
QString PromptText(int id) { return FromUtf8(CommandPrompt(id)); }
QString TooltipText(int id) { return FromUtf8(CommandTooltip(id)); }

QString FromCp932(std::string_view bytes) { return FromUtf8(Cp932ToUtf8(bytes)); }

std::string ToCp932(const QString& text, bool* lossless) {
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToCp932(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                     lossless);
}

QString ResourceField(int id, int index) {
  const QStringList fields = Text(id).split(QLatin1Char('\n'));
  return index < fields.size() ? fields[index] : QString();
}
