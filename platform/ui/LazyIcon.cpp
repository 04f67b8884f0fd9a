#include "platform/ui/LazyIcon.h"

#include <QIconEngine>
#include <QPainter>

#include <memory>
#include <optional>

namespace mv {
namespace {

// Copies of the icon share what was made, so it is made once for all of them.
struct Made {
  std::function<QIcon()> make;
  std::optional<QIcon> icon;
  const QIcon& get() {
    if (!icon) icon = make();
    return *icon;
  }
};

class LazyIconEngine final : public QIconEngine {
 public:
  explicit LazyIconEngine(std::shared_ptr<Made> made) : made_(std::move(made)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
             QIcon::State state) override {
    made_->get().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return made_->get().actualSize(size, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return made_->get().pixmap(size, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return made_->get().availableSizes(mode, state);
  }
  QString iconName() override { return made_->get().name(); }
  bool isNull() override { return false; }
  QString key() const override { return QStringLiteral("mv.lazy"); }
  QIconEngine* clone() const override { return new LazyIconEngine(made_); }

 private:
  std::shared_ptr<Made> made_;
};

}  // namespace

QIcon lazyIcon(std::function<QIcon()> make) {
  return QIcon(new LazyIconEngine(std::make_shared<Made>(Made{std::move(make), std::nullopt})));
}

}  // namespace mv
