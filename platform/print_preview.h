// The print preview window: the pages of a finished document, which the user can still print
// on a printer or save as a PDF file.
#pragma once

#include <QWidget>
#include <memory>

class QPrinter;

namespace Ui {
class Apercu;
}

namespace orv {

struct RecordedDocument;

class PrintPreviewWindow : public QWidget {
    Q_OBJECT
  public:
    explicit PrintPreviewWindow(std::shared_ptr<const RecordedDocument> document,
                                QWidget* parent = nullptr);
    ~PrintPreviewWindow() override;

    int pageCount() const;

  private:
    void paintPages(QPrinter* printer);
    void printPages();
    void savePdf();

    std::unique_ptr<Ui::Apercu> ui_;
    std::shared_ptr<const RecordedDocument> document_;
};

// Opens a preview window on the document (it deletes itself when closed).
void showPreview(std::shared_ptr<const RecordedDocument> document);

}  // namespace orv
