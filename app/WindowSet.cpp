#include "app/WindowSet.h"

#include <QApplication>

#include "app/AppIcon.h"
#include "windows/Convert.h"
#include "windows/Create.h"
#include "windows/Dialog.h"
#include "windows/Editdsp.h"
#include "windows/Exchange.h"
#include "windows/Formpos.h"
#include "windows/Formregi.h"
#include "windows/Gridset.h"
#include "windows/Inport.h"
#include "windows/Itemset.h"
#include "windows/Jump.h"
#include "windows/Readlimit.h"
#include "windows/Replace.h"
#include "windows/Search.h"
#include "windows/Sortset.h"
#include "windows/View.h"

namespace cavel {

WindowSet::WindowSet(const AppPorts& ports, const std::optional<std::string>& commandLineFile) {
  // Every window of the program, message boxes, file dialogs and help
  // included, shows the program's icon.
  QApplication::setWindowIcon(ProgramIcon());
  form1_ = std::make_unique<TForm1>(ports, commandLineFile);
  TForm1& main = *form1_;
  TForm1::Children c;
  c.Form2 = new TForm2(main);
  c.Form3 = new TForm3(main);
  c.Form4 = new TForm4(main);
  c.Form5 = new TForm5(main);
  c.Form6 = new TForm6(main);
  c.Form2->SetZoomView(c.Form6);
  c.Form7 = new TForm7(main);
  c.Form8 = new TForm8(main);
  c.Form9 = new TForm9(main);
  c.Form10 = new TForm10(main);
  c.Form11 = new TForm11(main);
  c.Form12 = new TForm12(main);
  c.Form13 = new TForm13(main);
  c.Form14 = new TForm14(main);
  c.Form15 = new TForm15(main);
  c.Form16 = new TForm16(main);
  c.Form17 = new TForm17(main);
  main.AttachWindows(c);
}

WindowSet::~WindowSet() = default;

}  // namespace cavel
