// What Ctrl+C puts on the clipboard: the text of a block of cells, made only
// when someone pastes it, so that copying a million rows costs no text
// until a program asks for one.
#pragma once

#include <QMimeData>

#include <functional>
#include <optional>
#include <string>

namespace gui {

/// A model whose cells can be copied: it hands out the making of a block's
/// text, which owns whatever it needs, so that later edits of the model do
/// not change what was copied.
class CopyableTable {
public:
    virtual ~CopyableTable() = default;
    /// The text of the cells from (top, left) to (bottom, right), model rows
    /// and columns: a tab between cells, LF between rows, numbers with a
    /// decimal comma, as a spreadsheet on a Czech system reads them.
    virtual std::function<std::string()> copiedText(int top, int left, int bottom,
                                                    int right) const = 0;
};

/// Plain text on the clipboard, made on the first request and kept.
class CopiedText : public QMimeData {
    Q_OBJECT
public:
    explicit CopiedText(std::function<std::string()> make) : m_make(std::move(make)) {}

    QStringList formats() const override { return {"text/plain"}; }
    bool hasFormat(const QString& format) const override { return format == "text/plain"; }

protected:
    QVariant retrieveData(const QString& format, QMetaType type) const override;

private:
    std::function<std::string()> m_make;
    mutable std::optional<QString> m_text;
};

} // namespace gui
