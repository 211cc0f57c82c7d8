// grulo.mjs: checks and groups weekly summaries of follow-up care and
// rehabilitation stays in this process (a page, a Web Worker, Node >= 18),
// with nothing fetched or sent. See docs/web.md.

/** The version of grulo, "MAJOR.MINOR.PATCH". */
export const version: string;

/** Loads the engine: a new instance, with memory of its own, each call. */
export function load(): Promise<Grulo>;

/** The three table files' bytes; a table given as null is a missing file. */
export interface TableBytes {
  /** arbressr.tab, the decision tree */
  tree: Uint8Array | ArrayBuffer | null;
  /** ccamcssr.tab, the acts */
  acts: Uint8Array | ArrayBuffer | null;
  /** diag10sr.tab, the diagnoses */
  diags: Uint8Array | ArrayBuffer | null;
}

export interface DateOptions {
  /** The current date of the checks, DDMMYYYY; default: the computer's local date. */
  today?: string;
}

export interface Progress {
  /** Lines read so far. */
  lines: number;
  /** Bytes of the input read so far. */
  bytesRead: number;
  /** The input's size, or null when the input is a reader function. */
  totalBytes: number | null;
}

export interface GroupFileOptions extends DateOptions {
  /** Told how far the run is, every `progressEvery` lines and at its end. */
  onProgress?: (progress: Progress) => void;
  /** Lines between two calls of onProgress; default 16384. */
  progressEvery?: number;
  /** Takes the .grp bytes piece by piece; `grp` of the result is then null. */
  onGrp?: (chunk: Uint8Array) => void;
  /** Takes the .err bytes piece by piece; `err` of the result is then null. */
  onErr?: (chunk: Uint8Array) => void;
  /**
   * Makes the report page of the run from the lines' outcomes as they come,
   * the page `grulo --report` writes: `report` of the result.
   */
  report?: boolean | ReportOptions;
  /**
   * Makes the list of the summaries with an error, the CSV file of
   * `grulo report --rejected`: `rejected` of the result.
   */
  rejected?: boolean;
  /** Takes the rejected list's bytes piece by piece instead. */
  onRejected?: (chunk: Uint8Array) => void;
}

export interface ReportOptions {
  /** The file names the page shows. */
  names?: {input?: string; grp?: string; err?: string; previous?: string};
  /** The groups' names: CSV rows "category,number,label" (`grulo report --labels`). */
  labels?: string | Uint8Array;
  /** An earlier report page, to show the changes beside it (`grulo report --previous`). */
  previous?: string | Uint8Array;
}

/** The four counters the batch writes into its configuration. */
export interface Counters {
  NbLus: number;
  NbErrBloq: number;
  NbErrNonBloq: number;
  NbErrForm: number;
}

export interface RunOutputs {
  /** The .grp file's bytes, as the batch writes them (Windows-1252, CR LF). */
  grp: Uint8Array | null;
  /** The .err file's bytes, as the batch writes them. */
  err: Uint8Array | null;
  counters: Counters;
  /** The report page (UTF-8 HTML), with options.report. */
  report?: string;
  /** The rejected list (UTF-8 CSV, CR LF), with options.rejected. */
  rejected?: Uint8Array;
}

/**
 * Fills `into` with the next bytes of the input from its start and returns
 * their count; 0 at the end of the input.
 */
export type ByteReader = (into: Uint8Array) => number;

export type LineFormat = 'WELL_FORMED' | 'UNREADABLE' | 'UNKNOWN_FORMAT' | 'SIZE_PROBLEM';

/** The outcome of one line: the fields of the Python module's Result. */
export interface Result {
  format: LineFormat;
  category: number;
  number: number;
  return_code: number;
  /** The tree table's version ("" for a line that is not well-formed). */
  version: string;
  /** [number, blocking] of each error, in check order. */
  errors: Array<[number, boolean]>;
  /** True when an error blocks the grouping (no .grp line). */
  blocked: boolean;
  /** 0 for a single line. */
  line_number: number;
  readonly returnCode: number;
  readonly lineNumber: number;
}

/** One field of a summary line, offsets from 0, columns from 1 ("41-48"). */
export interface ExplainedField {
  key: string;
  name: string;
  offset: number;
  length: number;
  columns: string;
  text: string;
}

export interface ExplainedError {
  number: number;
  blocking: boolean;
  field: string;
  /** The field's place in its run, -1 for the scores. */
  index: number;
  offset: number;
  length: number;
  columns: string;
  text: string;
  description: string;
  note: string;
}

/** The document `grulo explain --json` prints (shape 1; docs/explain.md). */
export interface Explanation {
  shape: number;
  source: string;
  line_number: number;
  line: string;
  length: number;
  format: {status: 'well-formed' | 'unreadable' | 'unknown-format' | 'size-problem';
           act_count: number; expected_length: number | null};
  today: string;
  tables: {directory: string; version: string; problem: {status: number; detail: string} | null};
  fields: ExplainedField[];
  errors: ExplainedError[] | null;
  diagnoses: Array<{slot: number; code: string; record: number; category: number;
                    position_bits: number; attributes: number[]}> | null;
  acts: Array<{slot: number; code: string; class: number}> | null;
  derived: {week_start: string; age_in_years: number; ref_delay: number; presence_count: number;
            score_sum: number | null; act_slot_count: number} | null;
  walk: {steps: Array<Record<string, unknown>>; end: {leaf: boolean; node: number;
                                                     failure: number; reason: string}} | null;
  outcome: 'grouped' | 'blocked' | 'walk-failed' | 'table-problem' | 'format-problem';
  result: {category: number; number: number; return: number} | null;
  grp_line: string | null;
  err_lines: string[];
}

/** A summary line without its line end: bytes, or a string in Windows-1252. */
export type Line = string | Uint8Array;

export interface Tables {
  /** The tables' version. */
  readonly version: string;
  group(line: Line, options?: DateOptions): Result;
  /** The document `grulo explain --json` prints for the line. */
  explain(line: Line, options?: DateOptions): Explanation;
  /** Frees the tables now rather than when they are collected. */
  close(): void;
}

export interface ReportRun extends ReportOptions, DateOptions {
  /** The run's input. */
  input: Uint8Array | ArrayBuffer | Blob | ByteReader;
  /**
   * The run's tables: the input is grouped again with them and today's
   * date, and the page made from the outcomes; grp and err, when given, must
   * be the bytes of that grouping (an Error names where they part).
   */
  tables?: TableBytes;
  /** The run's outputs; without tables, the page is read from them and the input. */
  grp?: Uint8Array;
  err?: Uint8Array;
}

export interface Grulo {
  readonly version: string;
  /**
   * Groups a whole input as the batch does. Synchronous, except for a Blob
   * on a page's main thread (a Promise; in a worker a Blob is read in
   * slices). Throws a TypeError or a RangeError for bad arguments.
   */
  groupFile(tables: TableBytes, input: Uint8Array | ArrayBuffer | ByteReader,
            options?: GroupFileOptions): RunOutputs;
  groupFile(tables: TableBytes, input: Blob, options?: GroupFileOptions):
      RunOutputs | Promise<RunOutputs>;
  /** Opens the tables; an Error naming each table and its problem when they cannot be used. */
  openTables(tables: TableBytes): Tables;
  /** The HTML page of a run, the page `grulo report` writes. */
  report(run: ReportRun): string;
}
