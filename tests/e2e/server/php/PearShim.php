<?php
/**
 * The library reports some failures as PEAR errors and tests results with
 * is_a($x, 'PEAR_Error'). PEAR itself is not installed for the test server;
 * these two classes give those paths what they use.
 */
class PEAR_Error
{
    public $message;

    public function __construct($message = 'unknown error')
    {
        $this->message = $message;
    }

    public function getMessage()
    {
        return $this->message;
    }
}

class PEAR
{
    public static function raiseError($message = 'unknown error')
    {
        return new PEAR_Error($message);
    }
}
