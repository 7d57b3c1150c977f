#pragma once

// The about box: program name and version, the maker, and a link to the
// maker's web page. Created at start-up and shown modally by InfoClick.

#include <QDialog>
#include <memory>

namespace Ui {
class TAboutBox;
}

namespace tarnik {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    ~TAboutBox() override;

    // Opens the maker's web page; the box stays open.
    void CommentsClick();

protected:
    // Opens centred on the screen, not on the main window as a dialog would.
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TAboutBox> ui_;
};

}  // namespace tarnik
