#pragma once
// A stand-in for the page view until the real one is installed.

#include "commands/CommandTarget.h"

#include <QWidget>

namespace mv {

struct AppState;

// Shows which page of which layout the real page view will draw.
class PlaceholderPageView final : public QWidget, public PageViewHost {
  Q_OBJECT
 public:
  PlaceholderPageView(QWidget* parent, const AppState& state);
  bool handlesCommand(int id) const override;
  bool onCommand(int id) override;
  std::optional<bool> isCommandEnabled(int id) const override;
  QWidget* widget() override { return this; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const AppState& state_;
};

}  // namespace mv
