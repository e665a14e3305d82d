// The clipboard on QClipboard with QMimeData; named formats map to MIME
// types so "Csv" and "Rich Text Format" are the standard ones.
#include "Clipbrd.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <map>

#include "Application.h"
#include "Controls_p.h"

std::string ClipboardMimeType(const std::string& name) {
    if (name == "Csv") return "text/csv";
    if (name == "Rich Text Format") return "text/rtf";
    std::string lower;
    for (char c : name) lower += (c == ' ') ? '-' : char(std::tolower((unsigned char)c));
    return "application/x-" + lower;
}

static std::vector<std::string>& Formats() {
    static std::vector<std::string> names;
    return names;
}

TClipboard* Clipboard() {
    static TClipboard clip;
    Application.get();
    return &clip;
}

static QMimeData* Pending(void*& p) {
    if (!p) p = new QMimeData;
    return static_cast<QMimeData*>(p);
}

void TClipboard::Open() { ++openCount_; }

void TClipboard::Close() {
    if (openCount_ == 0) return;
    if (--openCount_ > 0) return;
    if (pending_) {
        QApplication::clipboard()->setMimeData(static_cast<QMimeData*>(pending_));
        pending_ = nullptr;
    }
}

void TClipboard::Clear() {
    if (openCount_ > 0) {
        delete static_cast<QMimeData*>(pending_);
        pending_ = new QMimeData;
        return;
    }
    QApplication::clipboard()->clear();
}

std::string TClipboard::AsText() const { return FromQt(QApplication::clipboard()->text()); }

void TClipboard::SetAsText(const std::string& text) {
    if (openCount_ > 0)
        Pending(pending_)->setText(ToQt(text));
    else
        QApplication::clipboard()->setText(ToQt(text));
}

unsigned TClipboard::RegisterFormat(const std::string& name) {
    auto& f = Formats();
    for (size_t i = 0; i < f.size(); ++i)
        if (f[i] == name) return unsigned(0xC000 + i);
    f.push_back(name);
    return unsigned(0xC000 + f.size() - 1);
}

bool TClipboard::HasFormat(unsigned format) const {
    const QMimeData* m = QApplication::clipboard()->mimeData();
    if (!m) return false;
    if (format == CF_TEXT || format == CF_UNICODETEXT) return m->hasText();
    size_t i = format - 0xC000;
    return i < Formats().size() && m->hasFormat(ToQt(ClipboardMimeType(Formats()[i])));
}

bool TClipboard::HasFormat(const std::string& name) const {
    const QMimeData* m = QApplication::clipboard()->mimeData();
    return m && m->hasFormat(ToQt(ClipboardMimeType(name)));
}

void TClipboard::SetBuffer(const std::string& name, const std::vector<unsigned char>& data) {
    QByteArray bytes(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
    if (openCount_ > 0) {
        Pending(pending_)->setData(ToQt(ClipboardMimeType(name)), bytes);
        return;
    }
    auto* m = new QMimeData;
    m->setData(ToQt(ClipboardMimeType(name)), bytes);
    QApplication::clipboard()->setMimeData(m);
}

std::vector<unsigned char> TClipboard::GetBuffer(const std::string& name) const {
    const QMimeData* m = QApplication::clipboard()->mimeData();
    if (!m) return {};
    QByteArray b = m->data(ToQt(ClipboardMimeType(name)));
    return std::vector<unsigned char>(b.begin(), b.end());
}
