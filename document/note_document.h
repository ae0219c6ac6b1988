#pragma once
// NoteDocument: which note the editor holds, its password, and the file and password commands.

#include <string>

#include "crypto/secret_text.h"
#include "document/document_ports.h"

namespace tolvarinth {

class NoteDocument {
public:
    NoteDocument(EditorBox& editor, MainWindow& window, DocumentUi& ui);

    const std::string& CurrentPath() const { return currentPath_; }
    const SecretText& CurrentPassword() const { return currentPassword_; }
    const std::string& EmptyPasswordCheck() const { return emptyPasswordCheck_; }

    void NewDocument();
    void OpenDocument();
    void SaveDocument();
    void SaveDocumentAs();
    void ChangePassword();
    void ExitProgram();
    bool QuerySaveChanges();  // true: the pending command must stop
    bool OpenNoteAt(const std::string& path);
    bool SaveNote(const std::string& path, bool useGivenPath);  // true only when the save dialog was cancelled

private:
    EditorBox& editor_;
    MainWindow& window_;
    DocumentUi& ui_;
    std::string currentPath_;
    SecretText currentPassword_;
    std::string emptyPasswordCheck_;
};

}  // namespace tolvarinth
