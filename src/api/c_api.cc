// The C interface of the grouping library over its C++ interface. Nothing
// here lets a C++ exception out: the only one that can arise is an
// allocation failure, which becomes GRULO_ERROR_MEMORY.

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "checks/error_catalogue.h"
#include "grulo/grouper.h"
#include "grulo/grulo.h"
#include "grulo/result.h"

// The C constants restate values of the C++ interface: tied here, so that
// they cannot drift apart.
static_assert(GRULO_FORMAT_WELL_FORMED == static_cast<int>(grulo::LineFormat::kWellFormed));
static_assert(GRULO_FORMAT_UNREADABLE == static_cast<int>(grulo::LineFormat::kUnreadable));
static_assert(GRULO_FORMAT_UNKNOWN == static_cast<int>(grulo::LineFormat::kUnknownFormat));
static_assert(GRULO_FORMAT_SIZE_PROBLEM == static_cast<int>(grulo::LineFormat::kSizeProblem));

// The version of the headers is the project's.
static_assert(GRULO_VERSION_MAJOR == GRULO_PROJECT_VERSION_MAJOR &&
                  GRULO_VERSION_MINOR == GRULO_PROJECT_VERSION_MINOR &&
                  GRULO_VERSION_PATCH == GRULO_PROJECT_VERSION_PATCH,
              "include/grulo/version.h must follow the version in CMakeLists.txt");

// grulo_error_description hands out the catalogue's texts as C strings.
constexpr bool DescriptionsEndWithNul() {
  for (const grulo::ErrorInfo& info : grulo::kErrorCatalogue) {
    if (info.description.data()[info.description.size()] != '\0') return false;
  }
  return true;
}
static_assert(DescriptionsEndWithNul());

struct grulo_tables {
  grulo::Tables tables;
  std::string version;  // NUL-terminated, for grulo_tables_version
};

struct grulo_grouper {
  grulo::Grouper grouper{grulo::Date{}};
  bool has_date = false;
  const grulo::Outcome* outcome = nullptr;  // the last one, inside `grouper`; null after a failure
  char version[3] = {0, 0, 0};              // NUL-terminated copy of its version
};

struct grulo_file_run {
  grulo::FileRun run;
  std::string warnings;  // those of the last run, one per line
};

namespace {

// A copy of the text that grulo_free releases; NULL when out of memory.
char* CopyMessage(const std::string& text) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy != nullptr) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

// Sets the message of a call: frees the one of an earlier call, then NULL
// (success) or a copy of `text`.
void SetMessage(char** error, const std::string* text) {
  if (error == nullptr) return;
  std::free(*error);
  *error = text != nullptr ? CopyMessage(*text) : nullptr;
}

// Opens tables with `open` and hands them out as a handle.
template <typename OpenFunction>
int OpenTables(OpenFunction open, grulo_tables** out, char** error) {
  try {
    grulo::Tables tables = open();
    if (!tables.ok()) {
      SetMessage(error, &tables.error());
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
  SetMessage(error, nullptr);
  if (out == nullptr) return false;
  *out = nullptr;
  return true;
}

const grulo::Outcome* OutcomeOf(const grulo_grouper* grouper) {
  return grouper != nullptr ? grouper->outcome : nullptr;
}

// Copies `text` into the buffer as snprintf would; returns its length.
size_t CopyOut(const std::string& text, char* buffer, size_t size) {
  if (buffer != nullptr && size > 0) {
    const size_t n = text.size() < size ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
  }
  return text.size();
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
      return "no date for the checks: set one or ask for the local clock";
    case GRULO_ERROR_MEMORY:
      return "out of memory";
    case GRULO_ERROR_NO_OUTCOME:
      return "no outcome: nothing grouped yet, or the last grouping failed";
    case GRULO_ERROR_INPUT:
      return "the input cannot be read";
    case GRULO_ERROR_OUTPUT:
      return "an output cannot be written";
    default:
      return "unknown status";
  }
}

const char* grulo_version(void) { return grulo::LibraryVersion(); }

int grulo_version_number(void) { return grulo::LibraryVersionNumber(); }

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
  if (grouper == nullptr || !grouper->grouper.SetToday(grulo::Date{day, month, year})) {
    return GRULO_ERROR_ARGUMENT;
  }
  grouper->has_date = true;
  return GRULO_OK;
}

int grulo_parse_date(const char* ddmmyyyy, int* day, int* month, int* year) {
  grulo::Date date;
  if (ddmmyyyy == nullptr || !grulo::ParseDate(ddmmyyyy, &date)) return GRULO_ERROR_ARGUMENT;
  if (day != nullptr) *day = date.day;
  if (month != nullptr) *month = date.month;
  if (year != nullptr) *year = date.year;
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
  if (grouper == nullptr) return GRULO_ERROR_ARGUMENT;
  grouper->outcome = nullptr;  // no outcome unless this grouping succeeds
  grouper->version[0] = '\0';
  if (tables == nullptr || line == nullptr) return GRULO_ERROR_ARGUMENT;
  if (!grouper->has_date) return GRULO_ERROR_NO_DATE;
  try {
    const grulo::Outcome& outcome =
        grouper->grouper.Group(tables->tables, std::string_view(line, length));
    const std::string_view version = outcome.version();
    std::memcpy(grouper->version, version.data(), version.size());
    grouper->version[version.size()] = '\0';
    grouper->outcome = &outcome;
  } catch (const std::bad_alloc&) {  // the copy of a line longer than any before
    return GRULO_ERROR_MEMORY;
  }
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

size_t grulo_outcome_grp_line(const grulo_grouper* grouper, char* buffer, size_t size) {
  const grulo::Outcome* o = OutcomeOf(grouper);
  try {
    return CopyOut(o != nullptr ? o->grp_line() : std::string(), buffer, size);
  } catch (const std::bad_alloc&) {
    return CopyOut(std::string(), buffer, size);
  }
}

size_t grulo_outcome_err_entry(const grulo_grouper* grouper, long long line_number, char* buffer,
                               size_t size) {
  const grulo::Outcome* o = OutcomeOf(grouper);
  try {
    return CopyOut(o != nullptr ? o->err_entry(line_number) : std::string(), buffer, size);
  } catch (const std::bad_alloc&) {
    return CopyOut(std::string(), buffer, size);
  }
}

const char* grulo_error_description(int number) {
  const std::string_view text = grulo::ErrorDescription(number);
  return text.empty() ? nullptr : text.data();  // NUL-terminated: see above
}

int grulo_error_blocking(int number) {
  if (grulo::ErrorDescription(number).empty()) return -1;
  return grulo::IsBlockingError(number) ? 1 : 0;
}

int grulo_file_run_new(grulo_file_run** run) {
  if (run == nullptr) return GRULO_ERROR_ARGUMENT;
  try {
    *run = new grulo_file_run;
    (*run)->run.SetOutputFunctions(nullptr, nullptr);  // dropped until set
  } catch (const std::bad_alloc&) {
    *run = nullptr;
    return GRULO_ERROR_MEMORY;
  }
  return GRULO_OK;
}

void grulo_file_run_free(grulo_file_run* run) { delete run; }

int grulo_file_run_set_tables(grulo_file_run* run, const char* directory) {
  if (run == nullptr || directory == nullptr) return GRULO_ERROR_ARGUMENT;
  try {
    run->run.SetTables(directory);
  } catch (const std::bad_alloc&) {
    return GRULO_ERROR_MEMORY;
  }
  return GRULO_OK;
}

int grulo_file_run_set_table_files(grulo_file_run* run, const char* tree, const char* acts,
                                   const char* diags) {
  if (run == nullptr || tree == nullptr || acts == nullptr || diags == nullptr) {
    return GRULO_ERROR_ARGUMENT;
  }
  try {
    run->run.SetTableFiles(tree, acts, diags);
  } catch (const std::bad_alloc&) {
    return GRULO_ERROR_MEMORY;
  }
  return GRULO_OK;
}

int grulo_file_run_set_today(grulo_file_run* run, int day, int month, int year) {
  if (run == nullptr || !run->run.SetToday(grulo::Date{day, month, year})) {
    return GRULO_ERROR_ARGUMENT;
  }
  return GRULO_OK;
}

int grulo_file_run_use_local_clock(grulo_file_run* run) {
  if (run == nullptr) return GRULO_ERROR_ARGUMENT;
  run->run.UseLocalClock();
  return GRULO_OK;
}

int grulo_file_run_set_output_files(grulo_file_run* run, const char* grp, const char* err) {
  if (run == nullptr || grp == nullptr || err == nullptr) return GRULO_ERROR_ARGUMENT;
  try {
    run->run.SetOutputFiles(grp, err);
  } catch (const std::bad_alloc&) {
    return GRULO_ERROR_MEMORY;
  }
  return GRULO_OK;
}

int grulo_file_run_set_output_functions(grulo_file_run* run, grulo_write_function grp,
                                        grulo_write_function err, void* context) {
  if (run == nullptr) return GRULO_ERROR_ARGUMENT;
  auto writer = [context](grulo_write_function write) -> grulo::FileRun::Writer {
    if (write == nullptr) return nullptr;
    return [write, context](std::string_view bytes) {
      return write(context, bytes.data(), bytes.size()) == 0;
    };
  };
  try {
    run->run.SetOutputFunctions(writer(grp), writer(err));
  } catch (const std::bad_alloc&) {
    return GRULO_ERROR_MEMORY;
  }
  return GRULO_OK;
}

int grulo_group_file(grulo_file_run* run, const char* input, char** error) {
  SetMessage(error, nullptr);
  if (run == nullptr || input == nullptr) return GRULO_ERROR_ARGUMENT;
  try {
    run->warnings.clear();
    const bool ok = run->run.Run(input);
    for (const std::string& warning : run->run.warnings()) run->warnings += warning + "\n";
    if (ok) return GRULO_OK;
    SetMessage(error, &run->run.error());
    switch (run->run.failure()) {
      case grulo::FileRun::Failure::kNoDate:
        return GRULO_ERROR_NO_DATE;
      case grulo::FileRun::Failure::kOutput:
        return GRULO_ERROR_OUTPUT;
      default:
        return GRULO_ERROR_INPUT;
    }
  } catch (const std::bad_alloc&) {
    return GRULO_ERROR_MEMORY;
  }
}

long long grulo_file_run_counter(const grulo_file_run* run, int counter) {
  if (run == nullptr) return 0;
  const grulo::FileCounters n = run->run.counters();
  switch (counter) {
    case GRULO_COUNTER_NBLUS:
      return n.NbLus;
    case GRULO_COUNTER_NBERRBLOQ:
      return n.NbErrBloq;
    case GRULO_COUNTER_NBERRNONBLOQ:
      return n.NbErrNonBloq;
    case GRULO_COUNTER_NBERRFORM:
      return n.NbErrForm;
    default:
      return 0;
  }
}

const char* grulo_file_run_warnings(const grulo_file_run* run) {
  return run != nullptr ? run->warnings.c_str() : "";
}

}  // extern "C"
