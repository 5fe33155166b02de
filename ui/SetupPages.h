#pragma once
// The setup pages of first use (the server test between them is its own screen). Each shows the
// record's values when it opens and stores into the record only when its right key validates.
#include <QCheckBox>

#include "app/ConfigRecord.h"
#include "ui/ScreenDialog.h"

namespace orvale::ui {

class EditEx;
class UnitPicker;

class CredentialsPage : public ScreenDialog {
  public:
    explicit CredentialsPage(ConfigRecord& record, QWidget* parent = nullptr);
    EditEx* url() const { return url_; }
    EditEx* user() const { return user_; }
    EditEx* password() const { return password_; }
    QCheckBox* autosync() const { return autosync_; }
    EditEx* every() const { return every_; }
    UnitPicker* unit() const { return unit_; }

  protected:
    void rightKey() override;

  private:
    ConfigRecord& record_;
    EditEx* url_;
    EditEx* user_;
    EditEx* password_;
    QCheckBox* autosync_;
    EditEx* every_;
    UnitPicker* unit_;
};

class FolderUrisPage : public ScreenDialog {
  public:
    explicit FolderUrisPage(ConfigRecord& record, QWidget* parent = nullptr);
    EditEx* contacts() const { return contacts_; }
    EditEx* tasks() const { return tasks_; }
    EditEx* calendar() const { return calendar_; }

  protected:
    void rightKey() override;

  private:
    ConfigRecord& record_;
    EditEx* contacts_;
    EditEx* tasks_;
    EditEx* calendar_;
};

class FoldersPage : public ScreenDialog {
  public:
    explicit FoldersPage(ConfigRecord& record, QWidget* parent = nullptr);
    QCheckBox* contacts() const { return contacts_; }
    QCheckBox* tasks() const { return tasks_; }
    QCheckBox* calendar() const { return calendar_; }

  protected:
    void rightKey() override;

  private:
    ConfigRecord& record_;
    QCheckBox* contacts_;
    QCheckBox* tasks_;
    QCheckBox* calendar_;
};

// The URL field's text for a stored URL: "http://" stands in for none.
QString urlFieldText(const ConfigRecord& record);

}  // namespace orvale::ui
