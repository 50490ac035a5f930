// Showing a window modally, as a port: the program runs QDialog::exec;
// tests put a script in its place that works the window and closes it.
#pragma once

class QDialog;

namespace cavel {

class ModalRunner {
 public:
  virtual ~ModalRunner() = default;
  // Shows `window` modally and returns, with its result, once it has closed.
  virtual int RunModal(QDialog& window) = 0;
};

class ExecModal : public ModalRunner {
 public:
  int RunModal(QDialog& window) override;
};

}  // namespace cavel
