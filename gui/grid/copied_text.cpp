// What Ctrl+C puts on the clipboard.
#include "gui/grid/copied_text.h"

namespace gui {

QVariant CopiedText::retrieveData(const QString& format, QMetaType type) const {
    if (!format.startsWith("text/plain")) return {};
    if (!m_text) m_text = QString::fromStdString(m_make());
    if (type.id() == QMetaType::QByteArray) return m_text->toUtf8();
    return *m_text;
}

} // namespace gui
