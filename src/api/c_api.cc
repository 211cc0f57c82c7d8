// The C interface of the grouping library over its C++ interface. Nothing
// here lets a C++ exception out: the only one that can arise is an
// allocation failure, which becomes GRULO_ERROR_MEMORY.

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "grulo/grouper.h"
#include "grulo/grulo.h"

struct grulo_tables {
  grulo::Tables tables;
  std::string version;  // NUL-terminated, for grulo_tables_version
};

struct grulo_grouper {
  grulo::Grouper grouper{grulo::Date{}};
  bool has_date = false;
  const grulo::Outcome* outcome = nullptr;  // the last one, inside `grouper`
  char version[3] = {0, 0, 0};              // NUL-terminated copy of its version
};

namespace {

// A copy of the text that grulo_free releases; NULL when out of memory.
char* CopyMessage(const std::string& text) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy != nullptr) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

// Opens tables with `open` and hands them out as a handle.
template <typename OpenFunction>
int OpenTables(OpenFunction open, grulo_tables** out, char** error) {
  try {
    grulo::Tables tables = open();
    if (!tables.ok()) {
      if (error != nullptr) *error = CopyMessage(tables.error());
      return GRULO_ERROR_TABLES;
    }
    auto* handle = new grulo_tables{std::move(tables), std::string()};
    handle->version.assign(handle->tables.version());
    *out = handle;
    return GRULO_OK;
  } catch (const std::bad_alloc&) {
    return GRULO_ERROR_MEMORY;
  }
}

// Clears the out-arguments of an opening; false when `out` is NULL.
bool StartOpening(grulo_tables** out, char** error) {
  if (error != nullptr) *error = nullptr;
  if (out == nullptr) return false;
  *out = nullptr;
  return true;
}

const grulo::Outcome* OutcomeOf(const grulo_grouper* grouper) {
  return grouper != nullptr ? grouper->outcome : nullptr;
}

}  // namespace

extern "C" {

const char* grulo_status_text(int status) {
  switch (status) {
    case GRULO_OK:
      return "ok";
    case GRULO_ERROR_ARGUMENT:
      return "invalid argument (a NULL pointer or a value out of range)";
    case GRULO_ERROR_TABLES:
      return "the tables cannot be opened";
    case GRULO_ERROR_NO_DATE:
      return "the grouper has no date: set one or ask for the local clock";
    case GRULO_ERROR_MEMORY:
      return "out of memory";
    case GRULO_ERROR_NO_OUTCOME:
      return "nothing has been grouped yet";
    default:
      return "unknown status";
  }
}

const char* grulo_version(void) { return grulo::LibraryVersion(); }

void grulo_free(void* p) { std::free(p); }

int grulo_tables_open(const char* directory, grulo_tables** tables, char** error) {
  if (!StartOpening(tables, error) || directory == nullptr) return GRULO_ERROR_ARGUMENT;
  return OpenTables([directory] { return grulo::Tables::Open(directory); }, tables, error);
}

int grulo_tables_open_files(const char* tree, const char* acts, const char* diags,
                            grulo_tables** tables, char** error) {
  if (!StartOpening(tables, error) || tree == nullptr || acts == nullptr || diags == nullptr) {
    return GRULO_ERROR_ARGUMENT;
  }
  return OpenTables([=] { return grulo::Tables::OpenFiles(tree, acts, diags); }, tables, error);
}

const char* grulo_tables_version(const grulo_tables* tables) {
  return tables != nullptr ? tables->version.c_str() : "";
}

void grulo_tables_free(grulo_tables* tables) { delete tables; }

int grulo_grouper_new(grulo_grouper** grouper) {
  if (grouper == nullptr) return GRULO_ERROR_ARGUMENT;
  *grouper = new (std::nothrow) grulo_grouper;
  return *grouper != nullptr ? GRULO_OK : GRULO_ERROR_MEMORY;
}

void grulo_grouper_free(grulo_grouper* grouper) { delete grouper; }

int grulo_grouper_set_today(grulo_grouper* grouper, int day, int month, int year) {
  if (grouper == nullptr) return GRULO_ERROR_ARGUMENT;
  grouper->grouper.SetToday(grulo::Date{day, month, year});
  grouper->has_date = true;
  return GRULO_OK;
}

int grulo_grouper_use_local_clock(grulo_grouper* grouper) {
  if (grouper == nullptr) return GRULO_ERROR_ARGUMENT;
  try {
    grouper->grouper.UseLocalClock();
  } catch (const std::bad_alloc&) {
    return GRULO_ERROR_MEMORY;
  }
  grouper->has_date = true;
  return GRULO_OK;
}

int grulo_group(grulo_grouper* grouper, const grulo_tables* tables, const char* line,
                size_t length) {
  if (grouper == nullptr || tables == nullptr || (line == nullptr && length > 0)) {
    return GRULO_ERROR_ARGUMENT;
  }
  if (!grouper->has_date) return GRULO_ERROR_NO_DATE;
  const grulo::Outcome& outcome =
      grouper->grouper.Group(tables->tables, std::string_view(line != nullptr ? line : "", length));
  const std::string_view version = outcome.version();
  std::memcpy(grouper->version, version.data(), version.size());
  grouper->version[version.size()] = '\0';
  grouper->outcome = &outcome;
  return GRULO_OK;
}

int grulo_outcome_format(const grulo_grouper* grouper) {
  const grulo::Outcome* o = OutcomeOf(grouper);
  return o != nullptr ? static_cast<int>(o->format()) : 0;
}

int grulo_outcome_category(const grulo_grouper* grouper) {
  const grulo::Outcome* o = OutcomeOf(grouper);
  return o != nullptr ? o->result().GroupCategory : 0;
}

int grulo_outcome_number(const grulo_grouper* grouper) {
  const grulo::Outcome* o = OutcomeOf(grouper);
  return o != nullptr ? o->result().GroupNumber : 0;
}

int grulo_outcome_return_code(const grulo_grouper* grouper) {
  const grulo::Outcome* o = OutcomeOf(grouper);
  return o != nullptr ? o->result().GroupReturn : 0;
}

const char* grulo_outcome_version(const grulo_grouper* grouper) {
  return OutcomeOf(grouper) != nullptr ? grouper->version : "";
}

int grulo_outcome_blocked(const grulo_grouper* grouper) {
  const grulo::Outcome* o = OutcomeOf(grouper);
  return o != nullptr && o->blocked() ? 1 : 0;
}

int grulo_outcome_error_count(const grulo_grouper* grouper) {
  const grulo::Outcome* o = OutcomeOf(grouper);
  return o != nullptr ? o->error_count() : 0;
}

int grulo_outcome_error(const grulo_grouper* grouper, int i, int* number, int* blocking) {
  const grulo::Outcome* o = OutcomeOf(grouper);
  if (o == nullptr) return grouper == nullptr ? GRULO_ERROR_ARGUMENT : GRULO_ERROR_NO_OUTCOME;
  if (i < 0 || i >= o->error_count()) return GRULO_ERROR_ARGUMENT;
  const grulo::ErrorEntry entry = o->error(i);
  if (number != nullptr) *number = entry.number;
  if (blocking != nullptr) *blocking = entry.blocking ? 1 : 0;
  return GRULO_OK;
}

}  // extern "C"
