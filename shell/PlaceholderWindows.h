#pragma once
// Stand-ins for the card window and the page view until the real ones are installed:
// plain windows that take the frame's commands and do nothing with them.

#include "shell/CommandTarget.h"

#include <QWidget>

#include <filesystem>

namespace mv {

struct AppState;

class PlaceholderCardWindow final : public QWidget, public CardWindowHost {
  Q_OBJECT
 public:
  PlaceholderCardWindow(QWidget* parent, ShellServices& services);

  bool onCommand(int id) override;
  std::optional<bool> isCommandEnabled(int id) const override;
  QWidget* widget() override { return this; }
  bool canClose() override { return true; }
  void saveWithoutAsking() override {}
  bool openBook(const std::filesystem::path& path) override;
  int selectedEntryIndex() const override { return -1; }

  const std::filesystem::path& openedBook() const noexcept { return book_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ShellServices& services_;
  std::filesystem::path book_;
};

// Shows which page of which layout the real page view will draw.
class PlaceholderPageView final : public QWidget, public PageViewHost {
  Q_OBJECT
 public:
  PlaceholderPageView(QWidget* parent, const AppState& state);
  bool onCommand(int id) override;
  std::optional<bool> isCommandEnabled(int id) const override;
  QWidget* widget() override { return this; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const AppState& state_;
};

}  // namespace mv
