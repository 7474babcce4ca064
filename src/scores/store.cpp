#include "scores/store.h"

namespace scores {

Outcome openStore(const std::string& url, int connections, std::unique_ptr<Store>& store) {
  Outcome outcome;
  if (url.rfind("sqlite:", 0) == 0 && url.size() > 7) {
    store = openSqliteStore(url.substr(7), connections, outcome);
  } else if (url.rfind("postgresql://", 0) == 0 || url.rfind("postgres://", 0) == 0) {
    store = openPostgresStore(url, connections, outcome);
  } else {
    outcome = Outcome::failure("the database is neither sqlite:FILE nor postgresql://...: " + url);
  }
  return outcome;
}

}  // namespace scores
