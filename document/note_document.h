#pragma once
// NoteDocument: which note the editor holds, its password, and the file and password commands.

#include <string>
#include <string_view>

#include "crypto/secret_text.h"
#include "document/document_ports.h"
#include "document/note_format.h"

namespace tolvarinth {

// How the document reaches note files. The default members use the note format on disk; a
// subclass can stand in for a disk that fails.
class NoteFiles {
public:
    virtual ~NoteFiles() = default;
    virtual NoteHeader OpenHeader(const std::string& path);
    virtual void CloseHeader(NoteHeader& header);
    virtual bool ReadBody(const std::string& path, std::string_view password, std::string& text);
    virtual bool Write(const std::string& path, std::string_view password, std::string_view text);
};

// The note files on disk, shared by every document that is given no other.
NoteFiles& DiskNoteFiles();

enum class SaveResult {
    Saved,      // the note is written; the document now belongs to the target
    Failed,     // the note could not be written and the user has been told; nothing changed
    Cancelled,  // the user cancelled the save dialog; nothing changed
};

class NoteDocument {
public:
    NoteDocument(EditorBox& editor, MainWindow& window, DocumentUi& ui,
                 NoteFiles& files = DiskNoteFiles());
    NoteDocument(const NoteDocument&) = delete;
    NoteDocument& operator=(const NoteDocument&) = delete;

    const std::string& CurrentPath() const { return currentPath_; }
    const SecretText& CurrentPassword() const { return currentPassword_; }
    const std::string& EmptyPasswordCheck() const { return emptyPasswordCheck_; }

    void NewDocument();
    void OpenDocument();
    void SaveDocument();
    void SaveDocumentAs();
    void ChangePassword();
    void ExitProgram();
    // Asks about unsaved changes. True: the pending command (New, Open, Exit, closing the
    // window) must stop - the user cancelled, or chose to save and the save did not happen.
    bool QuerySaveChanges();
    bool OpenNoteAt(const std::string& path);  // true when the note was opened
    // Saves to path when useGivenPath is set, else to CurrentPath; an untitled document asks
    // for a path first. The modified flag is cleared only once the note is written.
    SaveResult SaveNote(const std::string& path, bool useGivenPath);

private:
    EditorBox& editor_;
    MainWindow& window_;
    DocumentUi& ui_;
    NoteFiles& files_;
    std::string currentPath_;
    SecretText currentPassword_;
    std::string emptyPasswordCheck_;
};

}  // namespace tolvarinth
