#include "commands/CommandHandlers.h"

#include <algorithm>

namespace mv {

void CommandHandlers::add(int id, std::function<void()> handler, std::function<bool()> enabled) {
  addRun(
      id, id, [h = std::move(handler)](int) { h(); },
      [e = std::move(enabled)](int) { return e(); });
}

void CommandHandlers::addRun(int first, int last, Handler handler, Check enabled) {
  std::erase_if(entries_, [&](const Entry& e) { return e.first == first && e.last == last; });
  entries_.push_back(Entry{first, last, std::move(handler), std::move(enabled)});
}

const CommandHandlers::Entry* CommandHandlers::find(int id) const noexcept {
  // Later registrations first: a single id registered inside a run takes precedence.
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (id >= it->first && id <= it->last) return &*it;
  return nullptr;
}

bool CommandHandlers::run(int id) const {
  const Entry* e = find(id);
  if (!e) return false;
  // A copy: the handler may register again (or the window go) while it runs.
  const Handler handler = e->handler;
  handler(id);
  return true;
}

std::optional<bool> CommandHandlers::enabled(int id) const {
  const Entry* e = find(id);
  if (!e) return std::nullopt;
  return e->enabled(id);
}

std::vector<int> CommandHandlers::ids() const {
  std::vector<int> out;
  for (const Entry& e : entries_) out.push_back(e.first);
  return out;
}

}  // namespace mv
