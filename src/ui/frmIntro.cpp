#include "ui/frmIntro.h"

#include "ui/Icons.h"
#include "ui/Version.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace vellum::ui {

frmIntro::frmIntro(QWidget* parent, int showMs) : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName("frmIntro");
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* picture = new QLabel(this);
    picture->setPixmap(ApplicationIcon().pixmap(128, 128));
    picture->setAlignment(Qt::AlignCenter);
    auto* name = new QLabel(QStringLiteral("<h2>%1</h2>").arg(kBaseCaption), this);
    name->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(QString::fromLatin1(kVersionText), this);
    version->setObjectName("lblVersion");
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture);
    layout->addWidget(name);
    layout->addWidget(version);
    setStyleSheet("QDialog { background: #f6e8c4; border: 2px solid #b08048; }");
    QTimer::singleShot(showMs, this, &QWidget::close);
}

void frmIntro::keyPressEvent(QKeyEvent*) { close(); }
void frmIntro::mousePressEvent(QMouseEvent*) { close(); }

} // namespace vellum::ui
