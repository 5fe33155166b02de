<?php
/**
 * Class loading for the test server: the Horde copies in ../lib (Horde_Foo_Bar
 * lives in Horde/Foo/Bar.php) and our own classes next to this file. Nothing
 * is loaded from the system's PHP include path.
 */
spl_autoload_register(function ($class) {
    $own = array(
        'Horde_SyncMl_Backend_TestSql' => 'TestSqlBackend.php',
        'TestSqlDatabase' => 'TestSqlDatabase.php',
        'PEAR' => 'PearShim.php',
        'PEAR_Error' => 'PearShim.php',
    );
    if (isset($own[$class])) {
        require_once __DIR__ . '/' . $own[$class];
        return;
    }
    $file = dirname(__DIR__) . '/lib/' . str_replace('_', '/', $class) . '.php';
    if (is_file($file)) {
        require_once $file;
    }
});
