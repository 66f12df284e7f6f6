#pragma once
// FormAddLibrary, the Add Transactor Library window: the library folder with its browser,
// the folder's *.tlib files, Add Library with the entries of the library being added and a
// progress bar, OK saving the tables with the added items, Cancel dropping them.
#include "library/LibraryImport.h"

#include <QDialog>

#include <memory>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace kestrel {

class MainWindow;

class FormAddLibrary : public QDialog {
    Q_OBJECT

public:
    // Loads the tables and the options into a new window (not shown yet). Null, after a
    // message naming the file, when they cannot be read.
    static FormAddLibrary* Open(MainWindow& main);
    ~FormAddLibrary() override;

    void BrowseFolder();
    void AddSelectedLibrary();
    void Confirm();

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    FormAddLibrary(MainWindow& main, std::unique_ptr<AddLibraryState> state);
    void ShowFolder();
    // EnDisAddLib: Add Library is enabled while the folder lists a library.
    void EnDisAddLib();

    MainWindow& main_;
    std::unique_ptr<AddLibraryState> state_;
    QLabel* folder_ = nullptr;
    QListWidget* files_ = nullptr;
    QPushButton* add_ = nullptr;
    QListWidget* entries_ = nullptr;
    QProgressBar* progress_ = nullptr;
    bool busy_ = false;
};

} // namespace kestrel
