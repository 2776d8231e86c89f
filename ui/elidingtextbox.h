#pragma once

#include <QLineEdit>

namespace qv {

// A read-only text box for texts that may be longer than it is wide (a file's path): a text that
// does not fit is shown elided in the middle ("/home/ann/…/data/ABC.LET"), the whole text in the
// tooltip. text() is always the whole text.
class ElidingTextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit ElidingTextBox(QWidget* parent = nullptr);

    // What the box shows of its text in its current width.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect textArea() const;
    void updateToolTip();
};

} // namespace qv
