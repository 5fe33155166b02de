<?php
/**
 * Front script for PHP's built-in web server: every POST is one SyncML
 * message, handed raw with its content type to the library; its answer goes
 * back with the same content type. A GET answers a short text, so a starter
 * can tell that the server is up.
 *
 * Environment: ORVALE_E2E_SERVER_DATA (folder of the SQLite file, sessions and
 * logs; default ../data), ORVALE_E2E_SERVER_DEBUG=1 (log every message and a
 * debug log into DATA/log).
 */
require __DIR__ . '/autoload.php';

/** The server's accounts: user name => password (basic and MD5 auth). */
$users = array(
    'orvale' => 'orvale-secret',
    'second' => 'second-secret',
);

$data = getenv('ORVALE_E2E_SERVER_DATA') ?: dirname(__DIR__) . '/data';
$debug = getenv('ORVALE_E2E_SERVER_DEBUG') === '1';
foreach (array('sessions', 'log') as $sub) {
    if (!is_dir("$data/$sub")) {
        mkdir("$data/$sub", 0700, true);
    }
}
// The library predates PHP 8: its notices and deprecations are not faults of a run.
error_reporting(E_ALL & ~E_NOTICE & ~E_DEPRECATED & ~E_STRICT);
ini_set('display_errors', '0');
ini_set('log_errors', '1');
ini_set('error_log', "$data/log/php-errors.log");
// Sessions are keyed by the client's device and session id alone: no cookies.
ini_set('session.save_path', "$data/sessions");
ini_set('session.use_cookies', '0');
ini_set('session.use_only_cookies', '0');
ini_set('session.use_trans_sid', '0');
ini_set('session.use_strict_mode', '0');
ini_set('session.cache_limiter', '');
ini_set('session.gc_probability', '0');

if ($_SERVER['REQUEST_METHOD'] !== 'POST') {
    header('Content-Type: text/plain');
    // The data folder tells a starter that it reached its own server, not another one on a port
    // that was free a moment ago.
    echo "Orvale test SyncML server\n" . realpath($data) . "\n";
    return true;
}

$type = strtolower(trim(explode(';', isset($_SERVER['CONTENT_TYPE']) ? $_SERVER['CONTENT_TYPE'] : '')[0]));
if ($type !== 'application/vnd.syncml+wbxml' && $type !== 'application/vnd.syncml+xml') {
    http_response_code(415);
    header('Content-Type: text/plain');
    echo "expected application/vnd.syncml+wbxml or application/vnd.syncml+xml\n";
    return true;
}
$body = file_get_contents('php://input');

$level = ob_get_level();
try {
    $GLOBALS['backend'] = Horde_SyncMl_Backend::factory('TestSql', array(
        'database' => "$data/syncml.sqlite",
        'users' => $users,
        'debug_dir' => "$data/log",
        'debug_files' => $debug,
        'log_level' => $debug ? 'DEBUG' : 'INFO',
    ));
    $handler = new Horde_SyncMl_ContentHandler();
    $answer = $handler->process($body, $type);
    $GLOBALS['backend']->close();
} catch (Throwable $e) {
    while (ob_get_level() > $level) {
        ob_end_clean();
    }
    // Neither the store (its transaction is not committed) nor the session keeps anything of a
    // message that failed.
    if (session_status() == PHP_SESSION_ACTIVE) {
        session_abort();
    }
    error_log('SyncML request failed: ' . $e);
    http_response_code(500);
    header('Content-Type: text/plain');
    echo "server error\n";
    return true;
}
while (ob_get_level() > $level) {
    ob_end_clean();
}
if (!is_string($answer) || $answer === '') {
    http_response_code(400);
    header('Content-Type: text/plain');
    echo "message not understood\n";
    return true;
}
header('Content-Type: ' . $type);
header('Content-Length: ' . strlen($answer));
echo $answer;
return true;
