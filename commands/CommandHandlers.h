#pragma once
// What one window does with the commands it owns: per id, or per numbered run of ids, the
// handler that carries it out and the check that says whether it is enabled now. Each
// window fills one of these when it is made, so no switch over command ids is needed and
// a test can ask which ids a window carries out.

#include <functional>
#include <optional>
#include <vector>

namespace mv {

class CommandHandlers {
 public:
  using Handler = std::function<void(int id)>;
  using Check = std::function<bool(int id)>;

  // Enabled whenever the window is there.
  static bool always(int) noexcept { return true; }

  // A later registration of the same id replaces the earlier one.
  void add(int id, std::function<void()> handler, std::function<bool()> enabled);
  void addRun(int first, int last, Handler handler, Check enabled);

  bool handles(int id) const noexcept { return find(id) != nullptr; }
  // false when no handler is registered for the id.
  bool run(int id) const;
  // nullopt when no handler is registered for the id.
  std::optional<bool> enabled(int id) const;
  // The first id of every registration, in the order they were made.
  std::vector<int> ids() const;

 private:
  struct Entry {
    int first = 0;
    int last = 0;
    Handler handler;
    Check enabled;
  };
  const Entry* find(int id) const noexcept;

  std::vector<Entry> entries_;
};

}  // namespace mv
