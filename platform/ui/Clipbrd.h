// The clipboard: text and named byte formats ("VCLDBIF", "Csv", "Rich Text
// Format"), each carried as its own MIME type so other programs see them.
// Open/Close group several formats into one clipboard change.
#pragma once

#include <string>
#include <vector>

class TClipboard {
public:
    // Between Open and Close every Set adds to one pending content, which
    // Close puts on the clipboard (replacing what was there). Without Open,
    // every Set replaces the clipboard at once.
    void Open();
    void Close();
    void Clear();
    std::string AsText() const;
    void SetAsText(const std::string& text);
    // A registered format id for name (stable for the process).
    unsigned RegisterFormat(const std::string& name);
    bool HasFormat(unsigned format) const;
    bool HasFormat(const std::string& name) const;
    void SetBuffer(const std::string& formatName, const std::vector<unsigned char>& data);
    std::vector<unsigned char> GetBuffer(const std::string& formatName) const;

private:
    int openCount_ = 0;
    void* pending_ = nullptr;
};

enum : unsigned { CF_TEXT = 1, CF_UNICODETEXT = 13 };

// The process's clipboard object.
TClipboard* Clipboard();
// The MIME type a format name travels as ("VCLDBIF" -> "application/x-vcldbif").
std::string ClipboardMimeType(const std::string& formatName);
