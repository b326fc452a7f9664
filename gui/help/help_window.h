// The help viewer: one page of the manual at a time, its links to the other
// pages, back and forward, the contents and the glossary.
#pragma once

#include <QWidget>

class QTextBrowser;

namespace gui {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    /// A window of its own that belongs to `owner` (and closes with it).
    explicit HelpWindow(QWidget* owner);

    /// Shows `page` ("vypocet", "slovnicek#ro"); a page that is not
    /// installed is said so in the window, with where it was looked for.
    void showPage(const QString& page);
    /// The page shown, without its anchor ("vypocet"); empty when none is.
    QString currentPage() const;

private:
    void showTitle();

    QTextBrowser* m_browser = nullptr;
};

} // namespace gui
