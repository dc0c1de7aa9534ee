#include "ui/FileButtonBar.h"

#include <QAction>
#include <QActionGroup>
#include <QFontMetrics>
#include <QResizeEvent>

namespace vellum::ui {

FileButtonBar::FileButtonBar(QWidget* parent) : QToolBar(QStringLiteral("Files"), parent) {
    setObjectName(QStringLiteral("Toolbar1"));
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    group_ = new QActionGroup(this);
    group_->setExclusive(true);
}

QString FileButtonBar::ShortTitle(const QString& title) {
    return title.size() > 25 ? title.left(22) + QStringLiteral("...") : title;
}

QStringList FileButtonBar::FitCaptions(const QStringList& titles, int availableChars) {
    int total = 0;
    QStringList captions;
    for (const QString& t : titles) {
        captions << ShortTitle(t);
        total += captions.back().size() + 2; // a button's frame is worth about two letters
    }
    if (captions.isEmpty() || total <= availableChars)
        return captions;
    const int perButton = std::max(3, availableChars / static_cast<int>(captions.size() + 1));
    for (QString& c : captions)
        if (c.size() > perButton)
            c = c.left(std::max(0, perButton - 3)) + QStringLiteral("...");
    return captions;
}

void FileButtonBar::Rebuild(const QVector<Button>& buttons) {
    const QString pressed = PressedKey();
    for (QAction* a : group_->actions()) {
        group_->removeAction(a);
        removeAction(a);
        delete a;
    }
    buttons_ = buttons;
    for (const Button& b : buttons_) {
        QAction* a = addAction(b.title);
        a->setCheckable(true);
        a->setData(b.key);
        a->setToolTip(b.support ? QStringLiteral("(Support file) ") + b.title : b.title);
        group_->addAction(a);
        connect(a, &QAction::triggered, this, [this, key = b.key] { emit fileClicked(key); });
    }
    ApplyCaptions();
    if (!pressed.isEmpty())
        PressButton(pressed);
}

void FileButtonBar::ApplyCaptions() {
    QStringList titles;
    for (const Button& b : buttons_)
        titles << b.title;
    const int letter = std::max(1, QFontMetrics(font()).horizontalAdvance(QLatin1Char('O')));
    const QStringList captions = FitCaptions(titles, std::max(width(), 200) / letter);
    const auto actions = group_->actions();
    for (int i = 0; i < actions.size() && i < captions.size(); ++i)
        actions[i]->setText(QString(captions[i]).replace(QLatin1Char('&'), QStringLiteral("&&"))); // no mnemonics
}

void FileButtonBar::PressButton(const QString& key) {
    for (QAction* a : group_->actions())
        if (a->data().toString() == key)
            a->setChecked(true);
}

QString FileButtonBar::PressedKey() const {
    QAction* a = group_->checkedAction();
    return a ? a->data().toString() : QString();
}

QStringList FileButtonBar::Keys() const {
    QStringList keys;
    for (QAction* a : group_->actions())
        keys << a->data().toString();
    return keys;
}

QString FileButtonBar::CaptionOf(const QString& key) const {
    for (QAction* a : group_->actions())
        if (a->data().toString() == key)
            return a->text().replace(QStringLiteral("&&"), QStringLiteral("&"));
    return {};
}

void FileButtonBar::resizeEvent(QResizeEvent* event) {
    QToolBar::resizeEvent(event);
    if (event->size().width() != event->oldSize().width())
        ApplyCaptions();
}

} // namespace vellum::ui
