#pragma once
// The numbers of the program's string table. These are the only place the numbers are written:
// everything else names a string.
namespace orvale::platform {

enum class StringId : int {
    // Run progress and results.
    Authenticated = 239,         // "Authenticated successfully"
    LastSyncPrefix = 243,        // "Synchronized: "
    Syncing = 244,               // "Syncing..."
    SyncFailed = 245,            // "Sync failed"
    AuthFailed = 246,            // "Authentication failed"
    ResultDone = 247,            // "Done!"
    ConfiguredFolders = 251,     // "Configured Folders"
    ConfigureFailed = 255,       // "Failed to configure folders!"
    AssignManually = 261,        // "Please assign them manually"
    NotReached = 277,            // "Could not reach the server"
    SyncingInBackground = 279,   // "... is syncing now in background. ..."
    ChooseFolder = 281,          // "Please choose folder to sync"
    Received = 284,              // "Received"
    Sent = 285,                  // "Sent"
    FindingServer = 289,         // "Finding server... "
    StartingSync = 290,          // "Starting sync"
    CheckingForChanges = 292,    // "Checking for changes..."
    FinalizingChanges = 293,     // "Finalizing changes..."
    // Why a run failed, told under its result; %1, %2, %3 are filled in.
    AttemptAt = 360,
    CauseEmptyUrl = 361,
    CauseBadUrl = 362,
    CauseHostNotFound = 363,
    CauseRefused = 364,
    CauseTimedOut = 365,
    CauseUntrusted = 366,
    CauseHttpStatus = 367,
    CauseNetwork = 368,
    CauseCredentials = 369,
    CauseAuthentication = 370,
    CauseCommandRefused = 371,
    CauseStoreNotOpened = 372,
    CauseStoreNotWritten = 373,
    CauseDiskFull = 374,
    CauseChangesNotRecorded = 375,
    CauseFolderWithoutStore = 376,
    CauseCancelled = 377,
    CauseEngine = 378,
    CauseException = 379,
    CauseNothingToSync = 380,
    NoRunLog = 381,
    RunLogTitle = 382,
    SummaryLog = 383,
    // The screens.
    Title = 300,
    Url = 301,
    Username = 302,
    Password = 303,
    Autosync = 304,
    Every = 305,
    Day = 306,
    Hour = 307,
    Minute = 308,
    WantToSync = 309,
    Contacts = 310,
    Calendar = 311,
    Tasks = 312,
    Next = 313,
    Back = 314,
    Done = 315,
    Exit = 316,
    DatabaseUri = 317,
    EnterCredentials = 318,
    EnterFolderUri = 319,
    CheckFolder = 320,
    TestServer = 321,
    TestingServer = 322,
    Changes = 323,
    Sync = 324,
    Menu = 325,
    About = 326,
    Settings = 327,
    Cancel = 328,
    SyncCancelled = 329,
    Cancelled = 330,
    Folder = 331,
    SyncEventsBetween = 332,
    DaysBefore = 333,
    DaysAfter = 334,
    EnableLogging = 335,
    View = 336,
    SlowSync = 337,
    NextSyncSlow = 338,
    ViewLicense = 339,
    AboutLine1 = 340,
    AboutLine2 = 341,
    AboutLine3 = 342,
    LogTitle = 343,
    LicenseTitle = 344,
    GroupServer = 345,
    GroupFolders = 346,
    GroupCalendar = 347,
    GroupBackground = 348,
    GroupLogging = 349,
    EmptyUrl = 350,
    SaveFailed = 351,
    SlowSyncFailed = 352,
    ChangesNotRecorded = 353,
    // The choice of the next sync's type.
    NextSyncButton = 430,
    NextSyncTitle = 431,
    NextSyncIs = 432,             // "Next sync: "
    ModeTwoWay = 433,
    ModeTwoWayLine = 434,
    ModeSlowLine = 435,           // the name is SlowSync
    ModeRefreshFromServer = 436,
    ModeRefreshFromServerLine = 437,
    ModeRefreshFromDevice = 438,
    ModeRefreshFromDeviceLine = 439,
    ModeOneWayFromServer = 440,
    ModeOneWayFromServerLine = 441,
    ModeOneWayFromDevice = 442,
    ModeOneWayFromDeviceLine = 443,
    ConfirmSlowSync = 444,
    ConfirmRefreshFromServer = 445,
    ConfirmRefreshFromDevice = 446,
    ConfirmEmptyDeviceFolder = 447,  // %1: the folders' names
    NextSyncAtDone = 448,
    NextSyncMixed = 449,
    NextSyncSaveFailed = 450,
    Yes = 451,
    No = 452,
    Choose = 453,
    // Where the personal information lives (460-479).
    StoreIs = 460,      // "Kept in: "
    StoreOwn = 461,
    StoreEds = 462,
    StoreUnreadable = 463,
    // Checks and notices added later, numbered apart so that other additions do not collide.
    PasswordInClear = 410,
    UrlMissing = 411,
    UrlNotHttp = 412,
    UrlHoldsCredentials = 413,
    UserNameMissing = 414,
    IntervalOutOfRange = 415,
    ServerDatabases = 416,
};

}  // namespace orvale::platform
