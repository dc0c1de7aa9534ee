#include "ui/frmCredits.h"

#include "ui/Version.h"

#include <QTextBrowser>
#include <QVBoxLayout>

namespace vellum::ui {

QString frmCredits::Html() {
    return QStringLiteral(
               "<h1>%1</h1><p>Version %2</p>"
               "<p>An editor for the data files of Morrowind: masters (.esm), plug-ins (.esp) and saved "
               "games (.ess).</p>"
               "<p>Licence: GNU General Public License, version 3 or later. This program comes with no "
               "warranty.</p>"
               "<h3>Open-source components</h3><ul>"
               "<li>Qt %3 (The Qt Company; LGPL 3) &mdash; windows and widgets</li>"
               "<li>GoogleTest (Google; BSD 3-Clause) &mdash; tests</li>"
               "<li>Google Benchmark (Google; Apache 2.0) &mdash; benchmarks</li>"
               "<li>CMake and Ninja &mdash; build</li>"
               "</ul><p>Morrowind is a trademark of Bethesda Softworks; this editor is not affiliated "
               "with it.</p>")
        .arg(QString::fromLatin1(kBaseCaption), QString::fromLatin1(kVersionText), QString::fromLatin1(qVersion()));
}

frmCredits::frmCredits(QWidget* parent) : QWidget(parent) {
    setObjectName("frmCredits");
    auto* layout = new QVBoxLayout(this);
    auto* text = new QTextBrowser(this);
    text->setHtml(Html());
    layout->addWidget(text);
}

} // namespace vellum::ui
