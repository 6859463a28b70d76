// Sending data by e-mail TForm22 ("Adatok elküldése  emailben"): the database file found in a chosen
// folder, sent to the support address or prepared in the user's mail program.
#pragma once

#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeView;

namespace Ui {
class TForm22;
}

class TForm22 : public QDialog {
    Q_OBJECT
public:
    explicit TForm22(QWidget* parent = nullptr);
    ~TForm22() override;

    QLineEdit* Edit1;               // the file to send
    QComboBox* DriveComboBox1;      // mounted volumes
    QTreeView* DirectoryListBox1;   // the folder tree
    QListWidget* FileListBox1;      // hidden: the files found in the folder
    QPushButton* Button3;           // "Küldés1"
    QPushButton* Button4;           // "Vágólapra másolás"
    QPushButton* Button6;           // "Küldés2"
    QPushButton* Button5;           // "Mégsem"

    // The folder the tree shows; setting it counts as a change of folder.
    QString folder() const { return folder_; }
    void setFolder(const QString& folder);

    static const QString StartingFolder;   // as the program has always named it
    static const QString FileName;
    static const QString Subject;
    static const QString Body;
    static QString mailtoText();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void folderChanged(const QString& folder);
    void Button3Click();
    void Button4Click();
    void Button6Click();

    Ui::TForm22* ui;
    QFileSystemModel* folders_;
    QString folder_;
    bool following_ = false;
};

extern TForm22* Form22;
