#include "platform/Modal.h"

#include <QDialog>

namespace cavel {

int ExecModal::RunModal(QDialog& window) { return window.exec(); }

}  // namespace cavel
