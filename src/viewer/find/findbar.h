#pragma once
// The find bar: the text to find, the next and previous buttons, the match-case switch, what
// was found, and a button that closes the bar. Enter finds the next match, Shift+Enter the
// previous one, Esc closes the bar. UI thread only.

#include <QFrame>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace ktdv {

class FindBar final : public QFrame {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent);

    QLineEdit* textField() const { return m_text; }
    QString text() const;
    Qt::CaseSensitivity caseSensitivity() const;
    QString status() const;
    void setStatus(const QString& status);
    // Next and previous are usable (there are matches).
    void setNavigable(bool on);

signals:
    // The text to find or the match-case switch changed.
    void searchChanged();
    void nextWanted();
    void previousWanted();
    void closeWanted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* m_text;
    QToolButton* m_previous;
    QToolButton* m_next;
    QCheckBox* m_matchCase;
    QLabel* m_status;
    QToolButton* m_close;
};

}  // namespace ktdv
