#pragma once

#include <QString>
#include <QToolBar>
#include <QVector>

class QActionGroup;

namespace vellum::ui {

// The file toolbar: one checkable button per open file, keyed by the file's key (its full
// path, or "<Clipboard>"). Pressing one emits fileClicked; the window decides whether the
// press holds (PressButton puts back the previous one when it does not).
class FileButtonBar : public QToolBar {
    Q_OBJECT
public:
    struct Button {
        QString key;
        QString title;
        bool support = false;
    };

    explicit FileButtonBar(QWidget* parent = nullptr);

    // Replaces every button; captions follow the cutting rules below for the bar's width.
    void Rebuild(const QVector<Button>& buttons);
    void PressButton(const QString& key);
    QString PressedKey() const;
    QStringList Keys() const;
    QString CaptionOf(const QString& key) const;

    // A title over 25 characters shows its first 22 and "...".
    static QString ShortTitle(const QString& title);
    // When the buttons do not fit, every caption is cut to the characters that do fit:
    // available / (buttons + 1), at least 3, the last three of them being "...".
    static QStringList FitCaptions(const QStringList& titles, int availableChars);

signals:
    void fileClicked(const QString& key);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ApplyCaptions();

    QActionGroup* group_;
    QVector<Button> buttons_;
};

} // namespace vellum::ui
