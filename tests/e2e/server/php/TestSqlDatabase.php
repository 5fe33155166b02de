<?php
/**
 * The few query calls the library's SQL backend makes on its database
 * handle, over PDO and SQLite. Failures throw PDOException: the front script
 * turns them into an HTTP 500, so a broken store never passes for a sync.
 */
class TestSqlDatabase
{
    /** @var PDO */
    private $_pdo;

    public function __construct($file)
    {
        $this->_pdo = new PDO('sqlite:' . $file);
        $this->_pdo->setAttribute(PDO::ATTR_ERRMODE, PDO::ERRMODE_EXCEPTION);
        // The store tool may read or edit the file while a session runs.
        $this->_pdo->exec('PRAGMA busy_timeout = 5000');
    }

    public static function createSchema(PDO $pdo)
    {
        $pdo->exec('
            CREATE TABLE IF NOT EXISTS syncml_data(
                syncml_id VARCHAR(255), syncml_db VARCHAR(255), syncml_uid VARCHAR(255),
                syncml_data TEXT, syncml_contenttype VARCHAR(255),
                syncml_created_ts INTEGER, syncml_modified_ts INTEGER);
            CREATE TABLE IF NOT EXISTS syncml_map(
                syncml_syncpartner VARCHAR(255), syncml_db VARCHAR(255), syncml_uid VARCHAR(255),
                syncml_cuid VARCHAR(255), syncml_suid VARCHAR(255), syncml_timestamp INTEGER);
            CREATE TABLE IF NOT EXISTS syncml_anchors(
                syncml_syncpartner VARCHAR(255), syncml_db VARCHAR(255), syncml_uid VARCHAR(255),
                syncml_clientanchor VARCHAR(255), syncml_serveranchor VARCHAR(255));
            CREATE TABLE IF NOT EXISTS syncml_suidlist(
                syncml_syncpartner VARCHAR(255), syncml_db VARCHAR(255), syncml_uid VARCHAR(255),
                syncml_suid VARCHAR(255));
            CREATE INDEX IF NOT EXISTS syncml_data_idx ON syncml_data (syncml_uid, syncml_db, syncml_id);
            CREATE INDEX IF NOT EXISTS syncml_map_idx ON syncml_map (syncml_syncpartner, syncml_db, syncml_uid);
            CREATE INDEX IF NOT EXISTS syncml_suidlist_idx ON syncml_suidlist (syncml_syncpartner, syncml_db, syncml_uid);
        ');
    }

    public function pdo()
    {
        return $this->_pdo;
    }

    public function quote($value, $type = 'text')
    {
        if ($value === null) {
            return 'NULL';
        }
        if ($type == 'integer') {
            return (string)(int)$value;
        }
        return $this->_pdo->quote((string)$value);
    }

    public function queryAll($sql)
    {
        return $this->_pdo->query($sql)->fetchAll(PDO::FETCH_NUM);
    }

    public function queryRow($sql)
    {
        $row = $this->_pdo->query($sql)->fetch(PDO::FETCH_NUM);
        return $row === false ? null : $row;
    }

    public function queryOne($sql)
    {
        $row = $this->queryRow($sql);
        return $row === null ? null : $row[0];
    }

    public function queryCol($sql)
    {
        return $this->_pdo->query($sql)->fetchAll(PDO::FETCH_COLUMN, 0);
    }

    public function exec($sql)
    {
        return $this->_pdo->exec($sql);
    }

    public function disconnect()
    {
        $this->_pdo = null;
    }
}
