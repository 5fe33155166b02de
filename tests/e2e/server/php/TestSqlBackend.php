<?php
/**
 * The test server's backend: the library's SQL backend over SQLite, with a
 * fixed list of users, and with the faults of that backend mended where the
 * client under test would see them.
 *
 * Parameters (besides the library's debug_dir, debug_files, log_level):
 *   database  path of the SQLite file (created with its tables if missing)
 *   users     array user name => password
 */
class Horde_SyncMl_Backend_TestSql extends Horde_SyncMl_Backend_Sql
{
    const SESSION_KEY = 'orvale_test_syncml_state';

    protected $_users;

    /** Set once the session is finished, so close() does not bring it back. */
    protected $_sessionEnded = false;

    public function __construct($params)
    {
        // The parent constructor connects through PEAR MDB2, which is not
        // available; our handle offers the calls the parent makes.
        Horde_SyncMl_Backend::__construct($params);
        $this->_db = new TestSqlDatabase($params['database']);
        TestSqlDatabase::createSchema($this->_db->pdo());
        $this->_users = $params['users'];
        // One transaction per message: what a message changes is stored
        // together (or not at all when it fails), and fast.
        $this->_db->pdo()->beginTransaction();
    }

    /**
     * The library keeps its whole session (state, pending syncs, anchors to
     * be written) in one object; it must outlive the request.
     */
    public function sessionStart($syncDeviceID, $sessionId,
                                 $backendMode = Horde_SyncMl_Backend::MODE_SERVER)
    {
        parent::sessionStart($syncDeviceID, $sessionId, $backendMode);
        if (isset($_SESSION[self::SESSION_KEY])) {
            $this->state = $_SESSION[self::SESSION_KEY];
        }
    }

    public function sessionClose()
    {
        $this->_sessionEnded = true;
        parent::sessionClose();
    }

    public function close()
    {
        $this->_db->pdo()->commit();
        if (!$this->_sessionEnded && $this->state && session_status() == PHP_SESSION_ACTIVE) {
            $_SESSION[self::SESSION_KEY] = $this->state;
        }
        parent::close();
    }

    /**
     * Basic credentials go through _checkAuthentication(); MD5 credentials
     * are checked against the same user list (the parent has an empty
     * built-in list). The user of an MD5 credential is the SyncHdr's Source
     * LocName; the server never hands out a nonce, so the digest is over an
     * empty one.
     */
    public function checkAuthentication(&$username, $credData, $credFormat, $credType)
    {
        if ($credType != 'syncml:auth-md5' || empty($credData)) {
            return parent::checkAuthentication($username, $credData, $credFormat, $credType);
        }
        if (!is_string($username) || !isset($this->_users[$username])) {
            return false;
        }
        $b1 = base64_encode(md5($username . ':' . $this->_users[$username], true));
        $expected = base64_encode(md5($b1 . ':', true));
        return hash_equals($expected, $credData) ? $username : false;
    }

    protected function _checkAuthentication($username, $password)
    {
        // The parent tests an undefined variable here, so no password ever
        // matched.
        if ($password === '' || !isset($this->_users[$username])) {
            return false;
        }
        return hash_equals((string)$this->_users[$username], (string)$password) ? $username : false;
    }

    /**
     * As the parent, but returns the new server id: without it the library
     * has no id for the Status and counts every added item as failed.
     *
     * An Add for a client id the server already maps to an item of its own
     * is that item sent again (a session cut before its end is repeated, or
     * a slow sync resends everything): it replaces the item instead of
     * creating a second one.
     */
    public function addEntry($databaseURI, $content, $contentType, $cuid = null)
    {
        $database = $this->normalize($databaseURI);
        $ts = $this->getCurrentTimeStamp();

        $known = strlen((string)$cuid) ? $this->_getSuid($databaseURI, $cuid) : false;
        if ($known && $this->_itemExists($database, $known)) {
            $this->_db->exec(
                'UPDATE syncml_data SET syncml_data = ' . $this->_db->quote($content)
                . ', syncml_contenttype = ' . $this->_db->quote($contentType)
                . ', syncml_modified_ts = ' . $this->_db->quote($ts, 'integer')
                . ' WHERE syncml_db = ' . $this->_db->quote($database)
                . ' AND syncml_uid = ' . $this->_db->quote($this->_user)
                . ' AND syncml_id = ' . $this->_db->quote($known));
            $this->createUidMap($databaseURI, $cuid, $known, $ts);
            $this->logMessage('Add of mapped client id ' . $cuid . ' replaced ' . $known, 'INFO');
            return $known;
        }

        $suid = strval(new Horde_Support_Uuid());

        $this->_db->exec(
            'INSERT INTO syncml_data (syncml_id, syncml_db, syncml_uid, syncml_data, '
            . 'syncml_contenttype, syncml_created_ts, syncml_modified_ts) VALUES ('
            . $this->_db->quote($suid) . ', '
            . $this->_db->quote($database) . ', '
            . $this->_db->quote($this->_user) . ', '
            . $this->_db->quote($content) . ', '
            . $this->_db->quote($contentType) . ', '
            . $this->_db->quote($ts, 'integer') . ', '
            . $this->_db->quote($ts, 'integer') . ')');

        if ($this->_backendMode == Horde_SyncMl_Backend::MODE_SERVER) {
            $this->createUidMap($databaseURI, $cuid, $suid, $ts);
        }
        return $suid;
    }

    /**
     * A client delete of an item the server has no mapping for (or that is
     * already gone) reports failure, so the client is not told it was
     * deleted; the parent answered such deletes as done.
     */
    public function deleteEntry($databaseURI, $cuid)
    {
        $database = $this->normalize($databaseURI);
        $suid = $this->_getSuid($databaseURI, $cuid);
        if (!$suid) {
            $this->logMessage('Delete of unmapped client id ' . $cuid . ' refused', 'INFO');
            return false;
        }

        $where = ' WHERE syncml_db = ' . $this->_db->quote($database)
            . ' AND syncml_uid = ' . $this->_db->quote($this->_user);
        $deleted = $this->_db->exec('DELETE FROM syncml_data' . $where
                                    . ' AND syncml_id = ' . $this->_db->quote($suid));
        $this->_db->exec('DELETE FROM syncml_map' . $where
                         . ' AND syncml_syncpartner = ' . $this->_db->quote($this->_syncDeviceID)
                         . ' AND syncml_cuid = ' . $this->_db->quote($cuid));
        $this->_removeFromSuidList($databaseURI, $suid);
        return $deleted > 0;
    }

    protected function _itemExists($database, $suid)
    {
        return $this->_db->queryOne(
            'SELECT COUNT(*) FROM syncml_data WHERE syncml_db = ' . $this->_db->quote($database)
            . ' AND syncml_uid = ' . $this->_db->quote($this->_user)
            . ' AND syncml_id = ' . $this->_db->quote($suid)) > 0;
    }

    /**
     * The library erases the device's map whenever the client asks for a
     * slow sync. Before the first completed sync that map holds only what an
     * interrupted first attempt left, which the repeated attempt needs to
     * recognise its items; it is erased only once a sync was completed.
     */
    public function eraseMap($databaseURI)
    {
        if (!is_array($this->readSyncAnchors($databaseURI))) {
            $this->logMessage('Slow sync before any completed one: map kept', 'INFO');
            return true;
        }
        return parent::eraseMap($databaseURI);
    }

    /**
     * As the parent, but an item created since the last sync is only an add:
     * the parent also listed it as modified, and the library then sent an
     * Add and a Replace without a target for it. Changes of items the client
     * has no id for cannot be addressed to it and are left out. An item the
     * client has already mapped has reached it and is not added again (its
     * Map came in a session that did not complete).
     */
    public function getServerChanges($databaseURI, $from_ts, $to_ts, &$adds, &$mods, &$dels)
    {
        $r = parent::getServerChanges($databaseURI, $from_ts, $to_ts, $adds, $mods, $dels);
        if (is_a($r, 'PEAR_Error')) {
            return $r;
        }
        foreach ($mods as $suid => $cuid) {
            if (isset($adds[$suid]) || !$cuid) {
                unset($mods[$suid]);
            }
        }
        foreach (array_keys($adds) as $suid) {
            if ($this->_getCuid($databaseURI, $suid)) {
                unset($adds[$suid]);
            }
        }
        foreach ($dels as $suid => $cuid) {
            if (!$cuid) {
                unset($dels[$suid]);
            }
        }
        return true;
    }
}
