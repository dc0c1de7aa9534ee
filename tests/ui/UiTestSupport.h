#pragma once

#include <QString>

class QWidget;

#include <functional>

namespace vellum::test {

// Runs `act` on the next modal dialog that opens, e.g. to fill it in
// and press OK; the dialog is found by polling the active modal widget.
void OnNextModal(std::function<void(QWidget*)> act);

} // namespace vellum::test
