#pragma once
// The seven pages of the express setup wizard. Each page's "Next" work (checks, settings,
// the setup record) is done in validatePage, so a refusal keeps the wizard on the page.

#include <QWizardPage>

#include <vector>

#include "telephony/line_devices.h"

class CExpressPropertySheet;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;
namespace vorla {
class CPicEdit;
}

class CExpressPropertyPage : public QWizardPage {
    Q_OBJECT
public:
    explicit CExpressPropertyPage(CExpressPropertySheet& sheet);

protected:
    QLabel* Heading(const QString& text);
    CExpressPropertySheet& sheet_;
};

// Welcome.
class CExpressPropertyPage1 : public CExpressPropertyPage {
    Q_OBJECT
public:
    explicit CExpressPropertyPage1(CExpressPropertySheet& sheet);
};

// The paging service: its name (typed or picked from the services list) and access number,
// or, for a carrier reached over the internet (WCTP), its URL, security code and sender ID.
class CExpressPropertyPage2 : public CExpressPropertyPage {
    Q_OBJECT
public:
    explicit CExpressPropertyPage2(CExpressPropertySheet& sheet);
    bool isComplete() const override;
    bool validatePage() override;
    int nextId() const override;

    QLineEdit* NameEdit() const { return nameEdit_; }    // null unless the name is typed
    QComboBox* NameCombo() const { return nameCombo_; }  // null when the name is typed
    vorla::CPicEdit* NumberField() const { return number_; }
    QCheckBox* WctpBox() const { return wctp_; }
    QLineEdit* UrlEdit() const { return url_; }
    QLineEdit* SecurityCodeEdit() const { return securityCode_; }
    QLineEdit* SenderEdit() const { return sender_; }

private:
    QString ChosenName() const;
    void TakeEntryNumber(int index);
    void ShowTransport();

    QLineEdit* nameEdit_ = nullptr;
    QComboBox* nameCombo_ = nullptr;
    vorla::CPicEdit* number_ = nullptr;
    QCheckBox* wctp_ = nullptr;
    QLineEdit* url_ = nullptr;
    QLineEdit* securityCode_ = nullptr;
    QLineEdit* sender_ = nullptr;
};

// How the number is dialled: prefix, 1 and area code, with a preview.
class CExpressPropertyPage3 : public CExpressPropertyPage {
    Q_OBJECT
public:
    explicit CExpressPropertyPage3(CExpressPropertySheet& sheet);
    void initializePage() override;
    bool validatePage() override;

    QLineEdit* PrefixEdit() const { return prefix_; }
    QCheckBox* DialOneBox() const { return dialOne_; }
    QCheckBox* DialAreaBox() const { return dialArea_; }
    QLabel* Preview() const { return preview_; }

private:
    void UpdatePreview();

    QLineEdit* prefix_ = nullptr;
    QCheckBox* dialOne_ = nullptr;
    QCheckBox* dialArea_ = nullptr;
    QLabel* preview_ = nullptr;
};

// The connection: a direct serial port or a telephony line device.
class CExpressPropertyPage4 : public CExpressPropertyPage {
    Q_OBJECT
public:
    explicit CExpressPropertyPage4(CExpressPropertySheet& sheet);
    void initializePage() override;
    bool isComplete() const override;
    bool validatePage() override;
    int nextId() const override;

    QListWidget* Connections() const { return list_; }

private:
    struct Connection {
        int port = 0;  // 1..4 for a direct port, 0 for a line device
        vorla::telephony::LineDevice device;
    };
    const Connection* Chosen() const;

    QListWidget* list_ = nullptr;
    std::vector<Connection> connections_;
    bool filled_ = false;
};

// The modem type, from the modem list file; passed over for a line device.
class CExpressPropertyPage5 : public CExpressPropertyPage {
    Q_OBJECT
public:
    explicit CExpressPropertyPage5(CExpressPropertySheet& sheet);
    void initializePage() override;
    bool isComplete() const override;
    bool validatePage() override;

    QTreeWidget* Modems() const { return list_; }

private:
    QTreeWidget* list_ = nullptr;
    QLabel* noModemList_ = nullptr;  // shown when the modem list file has no entry
    bool filled_ = false;
};

// The first subscribers.
class CExpressPropertyPage6 : public CExpressPropertyPage {
    Q_OBJECT
public:
    explicit CExpressPropertyPage6(CExpressPropertySheet& sheet);

    QLineEdit* NameEdit() const { return name_; }
    QLineEdit* PinEdit() const { return pin_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* EditButton() const { return edit_; }
    QPushButton* DeleteButton() const { return delete_; }
    QListWidget* Subscribers() const { return list_; }

    void Add();
    void EditSelected();
    void DeleteSelected();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateButtons();
    void RemoveRow(int row);

    QLineEdit* name_ = nullptr;
    QLineEdit* pin_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* delete_ = nullptr;
    QListWidget* list_ = nullptr;
};

// Done.
class CExpressPropertyPage7 : public CExpressPropertyPage {
    Q_OBJECT
public:
    explicit CExpressPropertyPage7(CExpressPropertySheet& sheet);
};
