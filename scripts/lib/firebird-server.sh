# Sourced by scripts/test (and usable by hand): a private Firebird SuperServer for the tests.
# It has its own configuration folder, its own copy of the security database, listens on
# 127.0.0.1 only, on a free port, and never touches a Firebird the machine may already run.
#
#   fb_server_start DIR   starts it; exports FIREBIRD, FIREBIRD_LOCK and ATUALIZADOR_TEST_*
#   fb_server_stop        stops exactly the server fb_server_start started (safe to call twice)

FB_LIB=/usr/lib/x86_64-linux-gnu/firebird/3.0
FB_SERVER_PID=

fb_free_port() {
    # A random start keeps two test runs started at the same moment off the same port.
    local porta inicio=$((3061 + RANDOM % 900))
    for porta in $(seq "$inicio" 3999) $(seq 3061 "$inicio"); do
        if ! ss -ltnH "sport = :$porta" 2>/dev/null | grep -q .; then
            echo "$porta"; return 0
        fi
    done
    return 1
}

fb_server_start() {
    local dir=$1
    rm -rf "$dir"; mkdir -p "$dir/lock" "$dir/db"
    local porta; porta=$(fb_free_port) || { echo "no free port for the test server" >&2; return 1; }

    cp /etc/firebird/3.0/databases.conf /etc/firebird/3.0/plugins.conf "$dir/"
    sed -i "s#^security.db.*#security.db = $dir/security3.fdb#" "$dir/databases.conf"
    cat > "$dir/firebird.conf" <<CONF
RemoteServicePort = $porta
RemoteBindAddress = 127.0.0.1
SecurityDatabase = $dir/security3.fdb
CONF
    ln -s "$FB_LIB/firebird.msg" "$dir/firebird.msg"
    ln -s "$FB_LIB/plugins" "$dir/plugins"
    mkdir -p "$dir/intl"; cp "$FB_LIB/intl/"* "$dir/intl/"
    cp /var/lib/firebird/3.0/system/security3.fdb "$dir/security3.fdb"

    export FIREBIRD=$dir FIREBIRD_LOCK=$dir/lock
    # The test login is created embedded, before the server holds the security database.
    isql-fb -q -user SYSDBA "$dir/security3.fdb" > "$dir/create-user.log" 2>&1 <<SQL || { cat "$dir/create-user.log" >&2; return 1; }
CREATE OR ALTER USER TESTER PASSWORD 'tst123' USING PLUGIN Srp;
GRANT CREATE DATABASE TO USER TESTER;
COMMIT;
SQL

    /usr/sbin/firebird > "$dir/server.log" 2>&1 &
    FB_SERVER_PID=$!
    local i
    for i in $(seq 1 100); do
        if ss -ltnpH "sport = :$porta" 2>/dev/null | grep -q "pid=$FB_SERVER_PID,"; then break; fi
        if ! kill -0 "$FB_SERVER_PID" 2>/dev/null; then
            echo "the test server exited at start:" >&2; cat "$dir/server.log" >&2; FB_SERVER_PID=; return 1
        fi
        sleep 0.1
    done
    ss -ltnpH "sport = :$porta" | grep -q "pid=$FB_SERVER_PID," || { echo "the test server does not listen on $porta" >&2; fb_server_stop; return 1; }

    export ATUALIZADOR_TEST_SERVER="127.0.0.1/$porta"
    export ATUALIZADOR_TEST_USER=TESTER ATUALIZADOR_TEST_PASSWORD=tst123
    export ATUALIZADOR_TEST_DBDIR=$dir/db
    echo "test server: pid $FB_SERVER_PID on $ATUALIZADOR_TEST_SERVER, folder $dir"
}

fb_server_stop() {
    [ -n "${FB_SERVER_PID:-}" ] || return 0
    kill -TERM "$FB_SERVER_PID" 2>/dev/null
    local i
    for i in $(seq 1 100); do kill -0 "$FB_SERVER_PID" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$FB_SERVER_PID" 2>/dev/null; then
        echo "the test server did not stop in 10 s; killing it" >&2
        kill -KILL "$FB_SERVER_PID" 2>/dev/null
    fi
    wait "$FB_SERVER_PID" 2>/dev/null
    FB_SERVER_PID=
}
