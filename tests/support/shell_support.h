// Shared by the widget tests: a private application folder, answering modal
// dialogs from a timer, and screenshots into the build folder.
#pragma once

#include <QDialog>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <functional>
#include <string>

#include "support/test_folders.h"

namespace zirvo::uitest {

// A fresh application folder with its Datos folder; the program's folders
// point at it while the object lives.
class AppFolder {
 public:
  AppFolder();
  std::string DataFile(const std::string& name) const;
  QString DataPath(const QString& name) const;
  QString Root() const { return dir_.path(); }

 private:
  QTemporaryDir dir_;
  testing::TestFolders folders_;
};

// Runs `answer` on the next modal window that appears (a dialog, a message
// box) while the code under test waits in it. Fails the test when none
// appears within `timeoutMs`.
void AnswerNextModal(std::function<void(QWidget*)> answer, int timeoutMs = 5000);
// True when every answer registered so far has run.
bool AllModalsAnswered();

// Accepts or rejects whatever modal appears next.
void AcceptNextModal();
void RejectNextModal();

// Saves the widget's picture as <build>/screenshots/<name>.png (never committed).
void SaveScreenshot(QWidget* widget, const QString& name);

// The text of a file as bytes.
QByteArray FileBytes(const QString& path);

}  // namespace zirvo::uitest
