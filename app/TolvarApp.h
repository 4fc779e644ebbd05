#pragma once

#include <QStringList>
#include <memory>

#include "app/ShellServices.h"

class CMainFrame;
class CTolvarDoc;

// The application: writes the first-run settings, creates the document, the
// main window and the view, and brings the window into its shape (border,
// title, size, check marks, recent files). It answers About and Sound, and
// Exit closes the main window.
class CTolvarApp : public ICommandTarget {
 public:
  explicit CTolvarApp(const SShellServices& services);
  ~CTolvarApp() override;

  // The start-up steps, in order; false ends the program.
  bool InitInstance(const QStringList& arguments);

  bool OnCommand(int nCommand) override;
  bool HasHandler(int nCommand) const override;

  CMainFrame* MainFrame() const { return m_pFrame.get(); }

 private:
  SShellServices m_services;
  std::unique_ptr<CTolvarDoc> m_pDoc;
  std::unique_ptr<CMainFrame> m_pFrame;
};
