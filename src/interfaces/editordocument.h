#pragma once
// The page view's document: which file and page it shows, page turns written back into the
// file, printing. UI thread only.

#include <QString>

namespace ktdv {

class EditorDocument {
public:
    virtual ~EditorDocument() = default;

    // Setting the path loads the document and shows page pageIndex(); reading it gives ""
    // when there is none or the load failed.
    virtual QString imagePath() const = 0;
    virtual void setImagePath(const QString& path) = 0;
    virtual int pageIndex() const = 0;
    virtual void setPageIndex(int index) = 0;
    virtual int pageCount() const = 0;
    // Set "FirstPage", "PreviousPage", "NextPage" or "LastPage"; read: target index as text.
    virtual void setNavigateTo(const QString& where) = 0;
    virtual QString navigateTo() const = 0;

    // True while the editor takes input of its own (the text of a new text frame).
    virtual bool busy() const = 0;

    virtual void clearImage() = 0;
    virtual void resetDocument(int flags) = 0;
    virtual void releaseImage() = 0;

    // Page transforms of the shown page, and writing the turned page into its file.
    virtual void rotateLeft() = 0;
    virtual void rotateRight() = 0;
    virtual void flip() = 0;
    virtual bool savePageChanges(int pageIndex, int pageCount) = 0;

    // Attribute letters of a file; contains "R" when the current user cannot write it.
    virtual QString getFileAttributes(const QString& path) = 0;

    virtual void printDocument(bool& printAnnotations) = 0;
};

}  // namespace ktdv
